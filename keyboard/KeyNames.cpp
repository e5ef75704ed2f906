#include "keyboard/KeyNames.h"

#include "core/Fault.h"

namespace corvane {

namespace {

KeyNameTable buildKeyNames()
{
    KeyNameTable t;

    struct Named {
        int code;
        const char* name;
    };
    // "CONTRAL", and "CAPITOL" at 14 next to "CAPSLOCK" at 20, are spelled and
    // placed on purpose. The names are display and send-keys text only.
    static constexpr Named kNamed[] = {
        {1, "LBUTTON"},   {2, "RBUTTON"},  {3, "CANCEL"},    {4, "MBUTTON"},   {5, "XBUTTON1"},   {6, "XBUTTON2"},
        {8, "BACK"},      {9, "TAB"},      {12, "CLEAR"},    {13, "RETURN"},   {14, "CAPITOL"},   {15, "KANA"},
        {16, "SHIFT"},    {17, "CONTRAL"}, {18, "ALT"},      {19, "PAUSE"},    {20, "CAPSLOCK"},  {27, "ESC"},
        {32, "SPACE"},    {33, "PAGEUP"},  {34, "PAGEDOWN"}, {35, "END"},      {36, "HOME"},      {37, "LEFT"},
        {38, "UP"},       {39, "RIGHT"},   {40, "DOWN"},     {41, "SELECT"},   {42, "PRINT"},     {43, "EXECUTE"},
        {44, "SNAPSHOT"}, {45, "INSERT"},  {46, "DELETE"},   {47, "HELP"},     {91, "LWIN"},      {92, "RWIN"},
        {93, "APPS"},     {95, "SLEEP"},   {106, "PAD*"},    {107, "PAD+"},    {108, "PADENTER"}, {109, "PAD-"},
        {110, "PAD."},    {111, "PAD/"},   {144, "NUMLOCK"}, {145, "SCRLOCK"}, {160, "LSHIFT"},   {161, "RSHIFT"},
        {162, "LCTRL"},   {163, "RCTRL"},  {164, "LALT"},    {165, "RALT"},    {186, ";"},        {187, "="},
        {188, ","},       {189, "-"},      {190, "."},       {191, "/"},       {192, "`"},        {219, "["},
        {220, "\\"},      {221, "]"},      {222, "'"},
    };
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
    if (code <= 255) {
        const QString& name = keyNameTable()[static_cast<std::size_t>(code)];
        if (!name.isEmpty())
            return QStringLiteral("[") + name + QStringLiteral("]");
    }
    return QStringLiteral("[%1]").arg(code % 1000, 3, 10, QChar(u'0'));
}

} // namespace corvane
