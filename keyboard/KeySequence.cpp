#include "keyboard/KeySequence.h"

#include "core/Numbers.h"
#include "keyboard/KeyNames.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace corvane {

namespace {

constexpr qsizetype kTokenLength = 4;

// The held list of a walk: the text of the down tokens not yet released. An
// up token removes every occurrence of "D" and its code's characters from it,
// and the send-keys conversion asks whether it holds the generic Shift, Ctrl
// or Alt. Searching the text for that would make a long sequence that keeps
// many keys down cost the square of its length; so every "D" of the text is
// indexed by the three characters that follow it, and both questions are
// answered from the index. A walk then costs time in proportion to its length.
class HeldKeys {
public:
    void append(QStringView piece)
    {
        for (const QChar c : piece) {
            const int at = static_cast<int>(chars_.size());
            chars_.append(c);
            prev_.append(last_);
            next_.append(-1);
            (last_ >= 0 ? next_[last_] : first_) = at;
            last_ = at;
            // The character three before this one now has three after it.
            int d = at;
            for (int n = 0; n < 3 && d >= 0; ++n)
                d = prev_[d];
            if (d >= 0 && chars_[d] == u'D')
                index(d);
        }
    }

    // Removes every occurrence of `pattern` ("D" and up to three characters)
    // that the text holds now, front to back, as a text search would.
    void remove(QStringView pattern)
    {
        if (pattern.size() < kTokenLength) {
            // Only the last token of a sequence can be short: rebuilt, once.
            QString text = this->text();
            text.remove(pattern.toString());
            *this = HeldKeys();
            append(text);
            return;
        }
        const Key key = keyOf(pattern.mid(1));
        const auto found = starts_.find(key);
        if (found == starts_.end())
            return;
        std::vector<int> starts;
        for (const int at : found->second) {
            if (alive(at) && keyAt(at) == key)
                starts.push_back(at);
        }
        starts_.erase(found);
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        // Erasing one occurrence changes only what lies before it; one that
        // it overlapped has gone with it.
        for (const int start : starts) {
            if (alive(start))
                erase(start);
        }
    }

    // Whether the text holds `pattern`, "D" and three characters.
    bool contains(QStringView pattern) const
    {
        const auto found = counts_.find(keyOf(pattern.mid(1)));
        return found != counts_.end() && found->second > 0;
    }

    QString text() const
    {
        QString out;
        for (int at = first_; at >= 0; at = next_[at])
            out += chars_[at];
        return out;
    }

private:
    using Key = quint64;
    static constexpr Key kNoKey = ~Key(0);
    static constexpr int kGone = -2;

    static Key keyOf(QStringView chars)
    {
        Key key = 0;
        for (const QChar c : chars)
            key = (key << 16) | c.unicode();
        return key;
    }

    bool alive(int at) const { return prev_[at] != kGone; }

    // The three characters after `at`, or kNoKey when there are fewer.
    Key keyAt(int at) const
    {
        Key key = 0;
        int i = at;
        for (int n = 0; n < 3; ++n) {
            i = next_[i];
            if (i < 0)
                return kNoKey;
            key = (key << 16) | chars_[i].unicode();
        }
        return key;
    }

    void index(int at)
    {
        const Key key = keyAt(at);
        if (key == kNoKey)
            return;
        ++counts_[key];
        starts_[key].push_back(at);
    }

    void unindex(int at)
    {
        if (chars_[at] != u'D')
            return;
        if (const Key key = keyAt(at); key != kNoKey)
            --counts_[key];
    }

    // Takes the occurrence at `start`, its "D" and the three characters after
    // it, out of the text. The keys of the "D"s among the three characters
    // before it change.
    void erase(int start)
    {
        int end = start;
        for (int n = 0; n < 3; ++n)
            end = next_[end];
        int before[3] = {-1, -1, -1};
        for (int n = 0, i = prev_[start]; n < 3 && i >= 0; ++n, i = prev_[i])
            before[n] = i;
        for (const int i : before) {
            if (i >= 0)
                unindex(i);
        }
        const int after = next_[end];
        for (int i = start; i != after;) {
            unindex(i);
            const int following = next_[i];
            prev_[i] = kGone;
            i = following;
        }
        (before[0] >= 0 ? next_[before[0]] : first_) = after;
        (after >= 0 ? prev_[after] : last_) = before[0];
        for (const int i : before) {
            if (i >= 0 && chars_[i] == u'D')
                index(i);
        }
    }

    QList<QChar> chars_;
    QList<int> prev_, next_; // the text's order; prev_ is kGone once erased
    // The "D"s with three characters after them, by those characters: each
    // is listed under its key (and perhaps under keys it has had before, which
    // are passed over) and counted under its key alone.
    std::unordered_map<Key, std::vector<int>> starts_;
    std::unordered_map<Key, int> counts_;
    int first_ = -1;
    int last_ = -1;
};

// Walks a sequence token by token and keeps the held list. `onToken` sees
// each token with the held list already updated for it. When the sequence is
// used up while keys are still held, the held keys are walked once more as up
// tokens, in the order they went down. That closing pass happens once only:
// odd text such as "DDDD" is never released by its own up token, and
// repeating the pass would never end. Its tokens hold no "D", so none of them
// is a down token, and the held list does not change during it.
template <typename OnToken>
void walkKeySequence(QStringView sequence, OnToken&& onToken)
{
    HeldKeys held;
    for (QStringView rest = sequence; !rest.isEmpty(); rest = rest.mid(kTokenLength)) {
        const KeyToken token = readKeyToken(rest);
        if (token.down)
            held.append(token.text);
        else
            held.remove(QString(u'D' + token.text.mid(1)));
        onToken(token, held);
    }
    QString closing = held.text();
    closing.replace(u'D', u'U');
    for (QStringView rest = closing; !rest.isEmpty(); rest = rest.mid(kTokenLength))
        onToken(readKeyToken(rest), held);
}

} // namespace

KeyToken readKeyToken(QStringView sequence)
{
    KeyToken token;
    const QStringView text = sequence.left(kTokenLength);
    token.text = text.toString();
    token.down = !text.isEmpty() && text.front() == u'D';
    // At most three characters: the value is finite and well inside qint64
    // ("9E9" is the largest), so the clamp only guards the conversion.
    const double code = roundHalfEven(numberFromText(text.mid(1)));
    token.code = static_cast<qint64>(std::clamp(code, -1e15, 1e15));
    return token;
}

QString downToken(int code) { return QStringLiteral("D%1").arg(code, 3, 10, QLatin1Char('0')); }

QList<KeyToken> keyTokens(QStringView sequence)
{
    QList<KeyToken> tokens;
    tokens.reserve((sequence.size() + kTokenLength - 1) / kTokenLength);
    for (QStringView rest = sequence; !rest.isEmpty(); rest = rest.mid(kTokenLength))
        tokens.append(readKeyToken(rest));
    return tokens;
}

RenderedKeys renderKeySequence(QStringView sequence)
{
    struct Enough {};
    RenderedKeys rendered;
    try {
        walkKeySequence(sequence, [&rendered](const KeyToken& token, const HeldKeys&) {
            if (rendered.spans.size() == kMaxShownLabels) {
                rendered.cut = true;
                throw Enough{};
            }
            rendered.spans.append({keyLabel(token.code), token.down ? LabelColour::Green : LabelColour::Red});
        });
    } catch (const Enough&) {
    } catch (...) {
        rendered.fault = currentFault();
    }
    return rendered;
}

QString keySequenceToSendKeys(QStringView sequence)
{
    const KeyNameTable& names = keyNameTable();
    QString result;
    walkKeySequence(sequence, [&](const KeyToken& token, const HeldKeys& held) {
        if (!token.down || token.code > 255)
            return;
        if (token.code < 0)
            throw subscriptFault();
        // The generic Shift, Ctrl and Alt keys held down are written as the
        // prefix letters X, Y and Z before every key pressed while they are down.
        if (held.contains(u"D016"))
            result += u'X';
        if (held.contains(u"D017"))
            result += u'Y';
        if (held.contains(u"D018"))
            result += u'Z';
        const QString& name = names[static_cast<std::size_t>(token.code)];
        if (name.size() > 1)
            result += QStringLiteral("{") + name + QStringLiteral("}");
        else
            result += name;
    });
    return result;
}

} // namespace corvane
