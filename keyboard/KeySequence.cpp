#include "keyboard/KeySequence.h"

#include "core/Numbers.h"
#include "keyboard/KeyNames.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr qsizetype kTokenLength = 4;

// Walks a sequence token by token and keeps the held list: the text of the down
// tokens not yet released. `onToken` sees each token with the held list already
// updated for it. When the sequence is used up while keys are still held, the
// held keys are walked once more as up tokens, in the order they went down.
// That closing pass happens once only: odd text such as "DDDD" is never
// released by its own up token, and repeating the pass would never end.
template <typename OnToken>
void walkKeySequence(QStringView sequence, OnToken&& onToken)
{
    QString held;
    QString closing;
    bool closed = false;
    QStringView remainder = sequence;
    while (!remainder.isEmpty()) {
        const KeyToken token = readKeyToken(remainder);
        if (token.down)
            held += token.text;
        else
            held.remove(QStringLiteral("D") + token.text.mid(1));
        onToken(token, held);

        remainder = remainder.mid(kTokenLength);
        if (remainder.isEmpty() && !held.isEmpty() && !closed) {
            closed = true;
            closing = held;
            closing.replace(u'D', u'U');
            remainder = closing;
        }
    }
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
        walkKeySequence(sequence, [&rendered](const KeyToken& token, const QString&) {
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
    walkKeySequence(sequence, [&](const KeyToken& token, const QString& held) {
        if (!token.down || token.code > 255)
            return;
        if (token.code < 0)
            throw subscriptFault();
        // The generic Shift, Ctrl and Alt keys held down are written as the
        // prefix letters X, Y and Z before every key pressed while they are down.
        if (held.contains(QStringLiteral("D016")))
            result += u'X';
        if (held.contains(QStringLiteral("D017")))
            result += u'Y';
        if (held.contains(QStringLiteral("D018")))
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
