#include "engine/Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLoggingCategory>

namespace corvane {

namespace {

Q_LOGGING_CATEGORY(lcTranslations, "corvane.translations", QtWarningMsg)

const char* const kOwnFiles[] = {"corvane_", "corvane_window_", "corvane_help_"};

QString ownFile(const char* prefix, const QString& language)
{
    return QStringLiteral(":/i18n/") + QLatin1String(prefix) + language + QStringLiteral(".qm");
}

} // namespace

bool Translations::available(const QString& language)
{
    for (const char* prefix : kOwnFiles) {
        if (!QFileInfo::exists(ownFile(prefix, language)))
            return false;
    }
    return true;
}

Translations::Translations(const QStringList& languages)
{
    for (const QString& language : languages) {
        if (language == QLatin1String("en"))
            return;
        if (!available(language))
            continue;
        language_ = language;
        for (const char* prefix : kOwnFiles) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(ownFile(prefix, language)) && QCoreApplication::installTranslator(translator.get()))
                translators_.push_back(std::move(translator));
            else
                qCWarning(lcTranslations) << "cannot load" << ownFile(prefix, language);
        }
        // Qt's own texts (Yes, No, Cancel): missing is no fault, they then stay English.
        auto qt = std::make_unique<QTranslator>();
        const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (qt->load(QStringLiteral("qtbase_") + language, qtFolder) && QCoreApplication::installTranslator(qt.get()))
            translators_.push_back(std::move(qt));
        else
            qCInfo(lcTranslations) << "no qtbase translation for" << language << "in" << qtFolder;
        return;
    }
}

Translations::~Translations()
{
    for (const auto& translator : translators_)
        QCoreApplication::removeTranslator(translator.get());
}

} // namespace corvane
