// Corvane: steers the mouse pointer and presses keys with a serial head tracker.
#include "engine/Main.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "profiles/SettingsFolder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

// Answers --help and --version, and refuses anything else on the command
// line, before the window toolkit needs a display. Returns the exit status
// when the program should end here.
std::optional<int> answerCommandLine(int argc, char* argv[])
{
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    // Not addHelpOption(): its --help-all lists options of the window toolkit
    // that this command line does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and the settings folder."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(core.arguments())) {
        std::fprintf(stderr, "corvane: %s\nTry 'corvane --help'.\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        // Only the help asks where the settings are; a normal start finds
        // that out once, in main.
        parser.setApplicationDescription(
            QStringLiteral("Steers the mouse pointer and presses keys with a serial head tracker.\n\n")
            + corvane::describeSettingsFolder(corvane::settingsFolderFor(QCoreApplication::applicationDirPath())));
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("corvane %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "corvane: unexpected argument '%s'\nTry 'corvane --help'.\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    corvane::platform::settleHomeFolder();
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const corvane::SettingsFolder settings = corvane::settingsFolderFor(QCoreApplication::applicationDirPath());
    auto platform = corvane::platform::createPlatform(settings.path);
    corvane::Engine engine(*platform, settings);
    return engine.Main();
}
