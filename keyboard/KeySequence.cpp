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
            key_.append(kNoKey);
            (last_ >= 0 ? next_[last_] : first_) = at;
            last_ = at;
            reindexFrom(prev_[at]);
            if (c == u'D')
                reindex(at);
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
            if (key_[at] == key)
                starts.push_back(at);
        }
        starts_.erase(found);
        std::sort(starts.begin(), starts.end());
        for (const int start : starts) {
            // One that an earlier occurrence overlapped has gone with it.
            if (key_[start] != key)
                continue;
            int end = start;
            for (int i = 1; i < kTokenLength; ++i)
                end = next_[end];
            erase(start, end);
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

    // Up to three characters, and how many there are.
    static Key keyOf(QStringView chars)
    {
        Key key = static_cast<Key>(chars.size());
        for (const QChar c : chars)
            key = (key << 16) | c.unicode();
        return key;
    }

    // Indexes the "D" at `at` by the (up to three) characters after it.
    void reindex(int at)
    {
        unindex(at);
        QChar after[3];
        qsizetype n = 0;
        for (int i = next_[at]; i >= 0 && n < 3; i = next_[i])
            after[n++] = chars_[i];
        key_[at] = keyOf(QStringView(after, n));
        ++counts_[key_[at]];
        starts_[key_[at]].push_back(at);
    }

    // An entry of starts_ whose key no longer matches is passed over and
    // dropped at the next removal of its key.
    void unindex(int at)
    {
        if (key_[at] != kNoKey)
            --counts_[key_[at]];
        key_[at] = kNoKey;
    }

    // The characters after `at` have changed: so have the keys of the "D"s
    // among it and the two before it.
    void reindexFrom(int at)
    {
        for (int n = 0; n < 3 && at >= 0; ++n, at = prev_[at]) {
            if (chars_[at] == u'D')
                reindex(at);
        }
    }

    // Takes the characters from `start` to `end` out of the text.
    void erase(int start, int end)
    {
        const int before = prev_[start];
        const int after = next_[end];
        for (int i = start; i != after; i = next_[i])
            unindex(i);
        (before >= 0 ? next_[before] : first_) = after;
        (after >= 0 ? prev_[after] : last_) = before;
        reindexFrom(before);
    }

    QList<QChar> chars_;
    QList<int> prev_, next_; // the text's order
    QList<Key> key_;         // the index key of each "D" in the text; kNoKey otherwise
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

QString downToken(int code)
{
    return QStringLiteral("D%1").arg(code, 3, 10, QLatin1Char('0'));
}

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
    RenderedKeys rendered;
    try {
        walkKeySequence(sequence, [&rendered](const KeyToken& token, const HeldKeys&) {
            rendered.spans.append({keyLabel(token.code), token.down ? LabelColour::Green : LabelColour::Red});
        });
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
