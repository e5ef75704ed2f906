// Corvane: steers the mouse pointer and presses keys with a serial head tracker.
#include "core/Languages.h"
#include "engine/Main.h"
#include "engine/Translations.h"
#include "platform/Files.h"
#include "platform/FolderClaim.h"
#include "platform/InstanceSocket.h"
#include "platform/Platform.h"
#include "platform/QtDesktop.h"
#include "profiles/SettingsFolder.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// The texts of this file, translated in the context "corvane::ProgramEntry".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::ProgramEntry)
};

struct CommandLine {
    std::optional<int> status; // end here with it
    corvane::platform::InputRequest input;
    bool minimized = false;
};

// Answers --help and --version, and refuses anything else on the command
// line, before the window toolkit needs a display. Returns the exit status
// when the program should end here, and the input backends asked for.
CommandLine answerCommandLine(int argc, char* argv[])
{
    // No application object yet: a normal start makes only the one with the
    // window, and only the help below needs one of its own.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    // Not addHelpOption(): its --help-all lists options of the window toolkit
    // that this command line does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and the settings folder."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Moves the pointer and sends keys through <backend>: uinput (the "
                                                   "kernel's input devices) or x11 (X test events)."),
                                    QStringLiteral("backend"));
    const QCommandLineOption keys(QStringLiteral("keys"),
                                  QStringLiteral("Watches the keyboard through <backend>: evdev (the kernel's event "
                                                 "devices) or x11."),
                                  QStringLiteral("backend"));
    const QCommandLineOption minimized(QStringLiteral("minimized"),
                                       QStringLiteral("Starts with the window hidden in the tray (minimised where "
                                                      "the desktop has no tray), as at login."));
    parser.addOption(output);
    parser.addOption(keys);
    parser.addOption(minimized);
    CommandLine answer;
    auto refuse = [&](const QString& why) {
        std::fprintf(stderr, "corvane: %s\nTry 'corvane --help'.\n", qPrintable(why));
        answer.status = 2;
        return answer;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(output)) {
        answer.input.output = corvane::platform::outputBackendNamed(parser.value(output));
        if (!answer.input.output)
            return refuse(QStringLiteral("--output takes uinput or x11, not '%1'").arg(parser.value(output)));
    }
    if (parser.isSet(keys)) {
        answer.input.keys = corvane::platform::keyStateBackendNamed(parser.value(keys));
        if (!answer.input.keys)
            return refuse(QStringLiteral("--keys takes evdev or x11, not '%1'").arg(parser.value(keys)));
    }
    if (parser.isSet(help)) {
        const QCoreApplication core(argc, argv);
        // Only the help asks where the settings are; a normal start finds
        // that out once, in main.
        parser.setApplicationDescription(
            QStringLiteral("Steers the mouse pointer and presses keys with a serial head tracker.\n\n")
            + corvane::describeSettingsFolder(corvane::settingsFolderFor(QCoreApplication::applicationDirPath()))
            + QStringLiteral("\n\n") + corvane::platform::describeInput(corvane::platform::predictInput(answer.input)));
        std::fputs(qPrintable(parser.helpText()), stdout);
        answer.status = 0;
        return answer;
    }
    if (parser.isSet(version)) {
        std::printf("corvane %s\n", qPrintable(QCoreApplication::applicationVersion()));
        answer.status = 0;
        return answer;
    }
    answer.minimized = parser.isSet(minimized);
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().constFirst()));
    return answer;
}

// The window toolkit ends the program with a core dump when it reaches no
// display; while it starts, its fatal message becomes this one and status 1.
QtMessageHandler toolkitHandler = nullptr;

void endWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        if (toolkitHandler)
            toolkitHandler(type, context, text);
        return;
    }
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString why = display.isEmpty() && wayland.isEmpty()
                          ? QStringLiteral("no display was found: neither DISPLAY nor WAYLAND_DISPLAY is set")
                          : QStringLiteral("the display cannot be reached (DISPLAY=\"%1\", WAYLAND_DISPLAY=\"%2\")")
                                .arg(display, wayland);
    std::fprintf(stderr,
                 "corvane: Corvane cannot open its window: %s. Start it in a desktop session (Wayland or X11), "
                 "or set WAYLAND_DISPLAY or DISPLAY to the display to use.\n",
                 qPrintable(why));
    std::fflush(stderr);
    std::_Exit(1);
}

// Ends the start with status 1, saying why on standard error and in a box.
int endWithBox(const QString& text)
{
    std::fprintf(stderr, "corvane: %s\n", qPrintable(text));
    corvane::platform::QtDialogs().message(text, QStringLiteral("Corvane"), corvane::platform::Buttons::Ok);
    return 1;
}

// A second start on a settings folder that a running Corvane holds: that one
// is asked to bring its window to the front, and this one ends without
// touching the profile files or the tracker. Returns the exit status.
int refuseSecondStart(const QString& folder, qint64 holder)
{
    const QString running = Texts::tr("Corvane is already running on the settings folder %1%2")
                                .arg(QDir::toNativeSeparators(folder),
                                     holder > 0 ? Texts::tr(" (process %1)").arg(holder) : QString());
    if (corvane::platform::askHolderToShow(folder, 3000)) {
        std::fprintf(stderr, "corvane: %s; its window was brought to the front.\n", qPrintable(running));
        return 0;
    }
    const QString text =
        running
        + Texts::tr(", but its window could not be brought to the front (it may be starting or not "
                    "responding). Only one Corvane at a time may use a settings folder, as two would overwrite "
                    "each other's profiles and compete for the tracker, so this one ends. The lock file %1 is "
                    "held while that process runs: if it does not respond, end it and start Corvane again.")
              .arg(QDir::toNativeSeparators(corvane::platform::lockFilePath(folder)));
    return endWithBox(text);
}

} // namespace

int main(int argc, char* argv[])
{
    corvane::platform::settleHomeFolder();
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    const CommandLine commandLine = answerCommandLine(argc, argv);
    if (commandLine.status)
        return *commandLine.status;
    toolkitHandler = qInstallMessageHandler(endWithoutDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(toolkitHandler);
    // Before any window or box: everything shown speaks the user's language.
    const corvane::Translations translations(corvane::messageLanguages(corvane::localeEnvironment()));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The dock and the task bar know the window by its desktop entry: on
    // Wayland by the app id, which is the entry's name; on X by the window
    // class, the application's name, which the entry names as StartupWMClass.
    // Its icon comes with the program, for desktops that do not look it up.
    QGuiApplication::setDesktopFileName(QStringLiteral(CORVANE_APP_ID));
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString& name : icons.entryList(QDir::Files))
        icon.addFile(icons.filePath(name));
    QApplication::setWindowIcon(icon);
    // A backend forced on the command line that cannot work is the answer to
    // this start, whether or not another Corvane runs: it is foreseen before
    // the folder is claimed, and before any device is made.
    if (commandLine.input.output || commandLine.input.keys) {
        const QString refusal = corvane::platform::predictInput(commandLine.input).refusal;
        if (!refusal.isEmpty()) {
            std::fprintf(stderr, "corvane: %s\n", qPrintable(refusal));
            return 2;
        }
    }
    const corvane::SettingsFolder settings = corvane::settingsFolderFor(QCoreApplication::applicationDirPath());
    // Before anything reads or writes the profile files or opens a port.
    using Claim = corvane::platform::FolderClaimAttempt;
    Claim claim = corvane::platform::claimSettingsFolder(settings.path);
    if (claim.result == Claim::Result::HeldByAnother)
        return refuseSecondStart(settings.path, claim.holder);
    if (claim.result == Claim::Result::Refused)
        return endWithBox(Texts::tr("Corvane cannot lock the settings folder %1: %2")
                              .arg(QDir::toNativeSeparators(settings.path), claim.why));
    if (claim.result == Claim::Result::Unlockable)
        std::fprintf(stderr,
                     "corvane: the settings folder %s cannot be locked (%s), so a second Corvane would not "
                     "be kept from it.\n",
                     qPrintable(QDir::toNativeSeparators(settings.path)), qPrintable(claim.why));
    auto platform = corvane::platform::createPlatform(settings.path, commandLine.input);
    if (!platform->input.refusal.isEmpty()) {
        std::fprintf(stderr, "corvane: %s\n", qPrintable(platform->input.refusal));
        return 2;
    }
    platform->claim = std::move(claim.claim);
    // The one place that knows the real window: the engine sees it as its view.
    corvane::Engine engine(*platform, settings,
                           [&commandLine](corvane::AppContext& app, corvane::EngineHandlers handlers) {
                               auto window = std::make_unique<corvane::MainForm>(app, std::move(handlers));
                               window->setStartMinimized(commandLine.minimized);
                               return window;
                           });
    return engine.Main();
}
