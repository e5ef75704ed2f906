#pragma once
// The program's translations: Corvane's own, built into the program under
// ":/i18n/" (corvane_<language>.qm, corvane_window_<language>.qm and
// corvane_help_<language>.qm), and Qt's own qtbase_<language>.qm from Qt's
// translations folder, for the buttons and boxes of the toolkit. Numbers and
// files are not touched: the default locale stays as it is.
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <memory>
#include <vector>

namespace corvane {

class Translations {
public:
    // Installs the translators of the first of `languages` (as
    // messageLanguages gives them) that the program has all its translations
    // for. English, the program's own language, ends the search: the
    // program then stays untranslated, as it does when none is found.
    explicit Translations(const QStringList& languages);
    // Removes the translators again.
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The language installed ("de"); empty for English.
    const QString& language() const { return language_; }

    // Whether the program has its translations into `language`.
    static bool available(const QString& language);

private:
    QString language_;
    std::vector<std::unique_ptr<QTranslator>> translators_;
};

} // namespace corvane
