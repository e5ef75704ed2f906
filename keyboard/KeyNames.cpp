#include "keyboard/KeyNames.h"

#include "core/Fault.h"

#include <QCoreApplication>

namespace corvane {

namespace {

constexpr char kKeyNamesContext[] = "corvane::KeyNames";

struct Named {
    int code;
    const char* name;
};
// "CONTRAL", and "CAPITOL" at 14 next to "CAPSLOCK" at 20, are spelled and
// placed on purpose. The names are the send-keys text, and the key labels
// show them translated (context "corvane::KeyNames").
constexpr Named kNamed[] = {
    {1, QT_TRANSLATE_NOOP("corvane::KeyNames", "LBUTTON")},
    {2, QT_TRANSLATE_NOOP("corvane::KeyNames", "RBUTTON")},
    {3, QT_TRANSLATE_NOOP("corvane::KeyNames", "CANCEL")},
    {4, QT_TRANSLATE_NOOP("corvane::KeyNames", "MBUTTON")},
    {5, QT_TRANSLATE_NOOP("corvane::KeyNames", "XBUTTON1")},
    {6, QT_TRANSLATE_NOOP("corvane::KeyNames", "XBUTTON2")},
    {8, QT_TRANSLATE_NOOP("corvane::KeyNames", "BACK")},
    {9, QT_TRANSLATE_NOOP("corvane::KeyNames", "TAB")},
    {12, QT_TRANSLATE_NOOP("corvane::KeyNames", "CLEAR")},
    {13, QT_TRANSLATE_NOOP("corvane::KeyNames", "RETURN")},
    {14, QT_TRANSLATE_NOOP("corvane::KeyNames", "CAPITOL")},
    {15, QT_TRANSLATE_NOOP("corvane::KeyNames", "KANA")},
    {16, QT_TRANSLATE_NOOP("corvane::KeyNames", "SHIFT")},
    {17, QT_TRANSLATE_NOOP("corvane::KeyNames", "CONTRAL")},
    {18, QT_TRANSLATE_NOOP("corvane::KeyNames", "ALT")},
    {19, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAUSE")},
    {20, QT_TRANSLATE_NOOP("corvane::KeyNames", "CAPSLOCK")},
    {27, QT_TRANSLATE_NOOP("corvane::KeyNames", "ESC")},
    {32, QT_TRANSLATE_NOOP("corvane::KeyNames", "SPACE")},
    {33, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAGEUP")},
    {34, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAGEDOWN")},
    {35, QT_TRANSLATE_NOOP("corvane::KeyNames", "END")},
    {36, QT_TRANSLATE_NOOP("corvane::KeyNames", "HOME")},
    {37, QT_TRANSLATE_NOOP("corvane::KeyNames", "LEFT")},
    {38, QT_TRANSLATE_NOOP("corvane::KeyNames", "UP")},
    {39, QT_TRANSLATE_NOOP("corvane::KeyNames", "RIGHT")},
    {40, QT_TRANSLATE_NOOP("corvane::KeyNames", "DOWN")},
    {41, QT_TRANSLATE_NOOP("corvane::KeyNames", "SELECT")},
    {42, QT_TRANSLATE_NOOP("corvane::KeyNames", "PRINT")},
    {43, QT_TRANSLATE_NOOP("corvane::KeyNames", "EXECUTE")},
    {44, QT_TRANSLATE_NOOP("corvane::KeyNames", "SNAPSHOT")},
    {45, QT_TRANSLATE_NOOP("corvane::KeyNames", "INSERT")},
    {46, QT_TRANSLATE_NOOP("corvane::KeyNames", "DELETE")},
    {47, QT_TRANSLATE_NOOP("corvane::KeyNames", "HELP")},
    {91, QT_TRANSLATE_NOOP("corvane::KeyNames", "LWIN")},
    {92, QT_TRANSLATE_NOOP("corvane::KeyNames", "RWIN")},
    {93, QT_TRANSLATE_NOOP("corvane::KeyNames", "APPS")},
    {95, QT_TRANSLATE_NOOP("corvane::KeyNames", "SLEEP")},
    {106, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAD*")},
    {107, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAD+")},
    {108, QT_TRANSLATE_NOOP("corvane::KeyNames", "PADENTER")},
    {109, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAD-")},
    {110, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAD.")},
    {111, QT_TRANSLATE_NOOP("corvane::KeyNames", "PAD/")},
    {144, QT_TRANSLATE_NOOP("corvane::KeyNames", "NUMLOCK")},
    {145, QT_TRANSLATE_NOOP("corvane::KeyNames", "SCRLOCK")},
    {160, QT_TRANSLATE_NOOP("corvane::KeyNames", "LSHIFT")},
    {161, QT_TRANSLATE_NOOP("corvane::KeyNames", "RSHIFT")},
    {162, QT_TRANSLATE_NOOP("corvane::KeyNames", "LCTRL")},
    {163, QT_TRANSLATE_NOOP("corvane::KeyNames", "RCTRL")},
    {164, QT_TRANSLATE_NOOP("corvane::KeyNames", "LALT")},
    {165, QT_TRANSLATE_NOOP("corvane::KeyNames", "RALT")},
    {186, ";"},
    {187, "="},
    {188, ","},
    {189, "-"},
    {190, "."},
    {191, "/"},
    {192, "`"},
    {219, "["},
    {220, "\\"},
    {221, "]"},
    {222, "'"},
};

KeyNameTable buildKeyNames()
{
    KeyNameTable t;

    for (const Named& n : kNamed)
        t[n.code] = QString::fromLatin1(n.name);

    // Digits and capital letters are named by the character with their code.
    for (int code = '0'; code <= '9'; ++code)
        t[code] = QString(QChar(code));
    for (int code = 'A'; code <= 'Z'; ++code)
        t[code] = QString(QChar(code));
    for (int code = 96; code <= 105; ++code)
        t[code] = QStringLiteral("PAD") + QString::number(code - 96);
    for (int code = 112; code <= 127; ++code)
        t[code] = QStringLiteral("F") + QString::number(code - 111);
    return t;
}

} // namespace

const KeyNameTable& keyNameTable()
{
    static const KeyNameTable table = buildKeyNames();
    return table;
}

void loadKeyNames() { (void)keyNameTable(); }

QString keyLabel(qint64 code)
{
    if (code < 0)
        throw subscriptFault();
    // The names of the table above are translated; letters, digits, the pad's
    // digits and the function keys are the same in every language.
    static const std::array<const char*, 256> translatable = [] {
        std::array<const char*, 256> names{};
        for (const Named& n : kNamed)
            names[static_cast<std::size_t>(n.code)] = n.name;
        return names;
    }();
    if (code <= 255) {
        const auto at = static_cast<std::size_t>(code);
        if (translatable[at])
            return QStringLiteral("[") + QCoreApplication::translate(kKeyNamesContext, translatable[at])
                 + QStringLiteral("]");
        const QString& name = keyNameTable()[at];
        if (!name.isEmpty())
            return QStringLiteral("[") + name + QStringLiteral("]");
    }
    return QStringLiteral("[%1]").arg(code % 1000, 3, 10, QChar(u'0'));
}

} // namespace corvane
