#include "engine/Main.h"

#include "engine/TrackerLink.h"
#include "keyboard/KeyNames.h"
#include "keyboard/PollKeyboard.h"
#include "keyboard/SendMappedKeys.h"
#include "platform/Files.h"
#include "profiles/ProfileCommands.h"
#include "ui/HelpForm.h"
#include "ui/MainForm.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/ShowError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <cstdio>

namespace corvane {

namespace {
const QString kStop = QStringLiteral("Stop");
const QString kStart = QStringLiteral("Start");
const QString kKeepAside = QStringLiteral("Keep Aside and Start");
const QString kKeepCopy = QStringLiteral("Keep a Copy and Start");
const QString kQuit = QStringLiteral("Quit");
const QString kStartUpTitle = QStringLiteral("Corvane Start-up");
const QString kBreak = QStringLiteral("\r\n");

QString counted(qint64 n, const QString& what)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(what, n == 1 ? QString() : QStringLiteral("s"));
}

// The box that asks whether to keep the profile files aside: what is in each
// file, and what each choice does. `startProfileMissing`: the profile to start
// with is not among those the profiles file holds (or the defaults, when it
// holds none); otherwise the profiles file yielded no profile at all.
QString recoveryText(const ProfileStore& store, bool startProfileMissing, const QList<FileMove>& moves)
{
    const ProfilesFileFound& found = store.found;
    const QString bytes = counted(found.size, QStringLiteral("byte"));
    QString profiles;
    if (const QString what = platform::describeNonFile(store.profilesPath()); !what.isEmpty())
        profiles = QStringLiteral("It is %1, not a file, so Corvane cannot read it.").arg(what);
    else if (found.size < 0)
        profiles = QStringLiteral("It does not exist, so Corvane would create the default profiles.");
    else if (found.size == 0)
        profiles = QStringLiteral("It is empty, so Corvane would create the default profiles.");
    else if (!found.read)
        profiles = QStringLiteral("It holds %1 but cannot be read.").arg(bytes);
    else if (found.wholeProfiles == 0)
        profiles = QStringLiteral("It holds %1 but no complete profile.").arg(bytes);
    else
        profiles = QStringLiteral("It holds %1.").arg(counted(found.wholeProfiles, QStringLiteral("complete profile")));
    const std::optional<QString> last = store.lastProfileInFile();
    QString used = last ? QStringLiteral("It names the profile \"%1\"").arg(*last)
                        : QStringLiteral("It does not exist, so the profile to start with is \"%1\"")
                              .arg(kDefaultMouseEmulation);
    used += startProfileMissing ? QStringLiteral(", which is not one of them.") : QStringLiteral(".");
    QString renames;
    for (const auto& [path, keptPath] : moves)
        renames += QFileInfo(path).fileName() + QStringLiteral(" to ") + QFileInfo(keptPath).fileName() + kBreak;
    return QStringLiteral("Corvane cannot start with its profiles as they are.") + kBreak + kBreak
        + QStringLiteral("Profiles file: ") + QDir::toNativeSeparators(store.profilesPath()) + kBreak + profiles
        + kBreak + kBreak + QStringLiteral("Last-profile file: ")
        + QDir::toNativeSeparators(store.lastProfilePath()) + kBreak + used + kBreak + kBreak + kKeepAside
        + QStringLiteral(": Corvane renames, leaving their contents as they are,") + kBreak + renames
        + (moves.size() == 1 && moves[0].first == store.lastProfilePath()
               ? QStringLiteral("and starts with the profile \"%1\" of the profiles file.").arg(kDefaultMouseEmulation)
               : QStringLiteral("and starts with the default profiles, as on a first start."))
        + kBreak + kBreak + kQuit
        + QStringLiteral(": Corvane ends and changes no file.");
}

// The box that asks what to do with a profiles file that ends in the middle
// of a profile.
QString cutProfileText(const ProfileStore& store, const QString& keptName)
{
    const ProfilesFileFound& found = store.found;
    return QStringLiteral("Corvane cannot start with its profiles as they are.") + kBreak + kBreak
        + QStringLiteral("Profiles file: ") + QDir::toNativeSeparators(store.profilesPath()) + kBreak
        + QStringLiteral("It holds %1, then the profile \"%2\" cut short: the file ends in the middle of it.")
              .arg(counted(found.wholeProfiles, QStringLiteral("complete profile")), found.cutProfile)
        + kBreak + kBreak + kKeepCopy + QStringLiteral(": Corvane copies the file as it is to ") + keptName
        + QStringLiteral(", writes it again with the complete profiles only and starts with them.") + kBreak + kBreak
        + kQuit + QStringLiteral(": Corvane ends and changes no file.");
}

QString stampNow()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
}
} // namespace

Engine::Engine(platform::Platform& platform, SettingsFolder settings)
    : settings_(std::move(settings)), app_(platform, settings_.path), pump_(*platform.process)
{
}

Engine::~Engine()
{
    // The handlers below refer to this engine; the platform outlives it.
    if (app_.platform.process)
        app_.platform.process->whenEndedAbruptly({});
    if (app_.platform.claim)
        app_.platform.claim->whenAskedToShow({});
}

bool Engine::started() const { return form_ && form_->Start_Command->text() == kStop; }

int Engine::Main()
{
    try {
        if (!startUp())
            return 1;
        runLoop();
        // A fault ended the loop: the windows stay usable until the main window closes.
        for (;;)
            pump_.waitAndProcess();
    } catch (const ProgramEnded& end) {
        return end.status;
    }
}

void Engine::createDefaults()
{
    ProfileTable& table = app_.store.table;
    form_->Profile_Combo->addText(kDefaultFlightSimulator);
    createDefaultFlightSimulator(table, app_.store.lastProfileName);
    form_->Profile_Combo->addText(kDefaultEulerAngle);
    createDefaultEulerAngle(table, app_.store.lastProfileName);
    form_->Profile_Combo->addText(kDefaultMouseEmulation);
    createDefaultMouseEmulation(table, app_.store.lastProfileName);
    form_->commands().WriteProfiles();
}

bool Engine::startUp()
{
    bool profilesLoaded = false;
    const bool clean = trapFaults(app_, [this, &profilesLoaded] {
        app_.platform.process->raisePriority();
        help_ = std::make_unique<HelpForm>();
        form_ = std::make_unique<MainForm>(app_, help_.get());
        form_->startClick = [this] { Start_Command_Click(); };
        form_->unload = [this] { Form_Unload(); };
        link_ = std::make_unique<TrackerLink>(app_, *form_, pump_);
        poll_ = std::make_unique<KeyboardPoll>(app_, *form_, pump_, [this] { Start_Command_Click(); });
        output_ = std::make_unique<KeyboardOutput>(app_, pump_);
        app_.platform.process->whenAskedToEnd([this] { Form_Unload(); });
        app_.platform.process->whenEndedAbruptly([this](const QString& why) { endAbruptly(why); });
        form_->Form_Load();
        loadKeyNames();
        // A failed carry-over is reported; the start goes on in the new folder.
        trapFaults(app_, [this] { carryOverSettings(); });
        profilesLoaded = loadProfiles();
        if (!profilesLoaded)
            return;
        form_->commands().ApplyProfile(form_->Profile_Combo->text());
        form_->show();
        // From here on boxes open over the window; before, it was not on the screen.
        app_.platform.dialogs->setOwner(form_.get());
        if (app_.platform.claim)
            app_.platform.claim->whenAskedToShow([this]() -> QWidget* { return form_.get(); });
    });
    return clean && profilesLoaded;
}

void Engine::carryOverSettings()
{
    const QStringList carried = corvane::carryOverSettings(settings_);
    if (carried.isEmpty())
        return;
    const QString from = QDir::toNativeSeparators(settings_.programFolder);
    app_.platform.dialogs->message(
        QStringLiteral("Corvane may not write its own folder, %1, so it keeps its settings in %2 from now on.")
                .arg(from, QDir::toNativeSeparators(settings_.path))
            + kBreak + kBreak + QStringLiteral("It has copied %1 there from %2, which stays as it was.")
                                    .arg(carried.join(QStringLiteral(", ")), from),
        kStartUpTitle, platform::Buttons::Ok);
}

bool Engine::loadProfiles()
{
    ProfileStore& store = app_.store;
    // What a save cut off by the end of the program left beside the files.
    platform::removeSaveLeftovers(store.folder(), {kProfilesFileName, kLastProfileFileName});
    form_->commands().ReadProfiles();
    if (store.found.yieldsNoProfile())
        return keepAsideOrQuit(false);
    if (!store.found.cutProfile.isEmpty())
        return keepCopyOrQuit();
    // The profile to start with must be one the list will hold, the defaults on
    // a first start; this is known before anything is written.
    const std::optional<QString> last = store.lastProfileInFile();
    const QString startWith = last.value_or(kDefaultMouseEmulation);
    const QStringList listed = store.table.count() == 0
        ? QStringList{kDefaultFlightSimulator, kDefaultEulerAngle, kDefaultMouseEmulation}
        : form_->Profile_Combo->items();
    if (!startWith.isEmpty() && !listed.contains(startWith))
        return keepAsideOrQuit(true);
    if (store.table.count() == 0)
        createDefaults();
    store.readLastProfile();
    if (!store.lastProfileName.isEmpty())
        form_->Profile_Combo->setText(store.lastProfileName);
    return true;
}

bool Engine::keepAsideOrQuit(bool startProfileMissing)
{
    ProfileStore& store = app_.store;
    QList<FileMove> moves = store.keptNames(stampNow());
    // When only the profile used last is missing from a profiles file that is
    // whole, that file stays where it is: the last-profile file alone goes
    // aside, and "Default Mouse Emulation" of the file starts.
    if (startProfileMissing && store.found.wholeProfiles > 0
        && form_->Profile_Combo->items().contains(kDefaultMouseEmulation))
        moves.removeIf([&](const FileMove& move) { return move.first == store.profilesPath(); });
    const int choice = app_.platform.dialogs->choose(recoveryText(store, startProfileMissing, moves),
                                                     kStartUpTitle, {kKeepAside, kQuit}, 0);
    if (choice != 0)
        return false;
    ProfileStore::keepAside(moves);
    // Now as on a first start: neither file is there.
    return loadProfiles();
}

bool Engine::keepCopyOrQuit()
{
    ProfileStore& store = app_.store;
    const QString keptPath = store.keptNames(stampNow()).value(0).second;
    const QString keptName = QFileInfo(keptPath).fileName();
    if (app_.platform.dialogs->choose(cutProfileText(store, keptName), kStartUpTitle, {kKeepCopy, kQuit}, 0) != 0)
        return false;
    store.keepCopyOfProfiles(keptPath);
    // The cut profile stays counted, without a name: never listed, never written.
    store.table.at(store.table.count()).name.clear();
    store.writeProfiles();
    return loadProfiles();
}

void Engine::runLoop()
{
    trapFaults(app_, [this] {
        for (;;)
            cycle();
    });
}

void Engine::cycle()
{
    const ProfileTable& table = app_.store.table;
    app_.platform.clock->sleepMs(table.count() > 0 ? table.at(table.currentIndex).delayMillisecs : 100);
    pump_.process();
    link_->ServiceTrackerLink();
    poll_->PollKeyboard();
    if (app_.link.acceptedCommand.isEmpty())
        return;
    if (!started())
        return;
    process();
}

// One started cycle with a configured tracker: read, decode, filter, show, move.
void Engine::process()
{
    if (link_->portOpen())
        receiveBuffer_ += link_->read();
    else
        receiveBuffer_.clear();
    values_.leftRight = 0;
    values_.upDown = 0;
    decodePackets(app_.store.table.current().mode, receiveBuffer_, values_);
    motion_.process(values_, app_.store.table.current());
    updateMonitor();
    // The keyboard stage (which does nothing in "Disabled") can take directions away from the mouse.
    output_->SendMappedKeys(values_, cycleKeySequence_, form_->KeyMode_Combo->text(), *form_->KeyMon_Text);
    if (app_.store.table.current().mouseMode != QLatin1String("Disabled"))
        mouseStage();
    values_.sideSide = 0;
    cycleKeySequence_.clear();
}

void Engine::updateMonitor()
{
    if (form_->Monitor_Frame->isHidden())
        return;
    form_->LRMon_Text->setText(monitorText(values_.leftRight));
    form_->UDMon_Text->setText(monitorText(values_.upDown));
    form_->SSMon_Text->setText(monitorText(values_.sideSide));
}

void Engine::mouseStage()
{
    const auto move = mouseMove(values_, app_.store.table.current(), form_->Jitter->slider()->value());
    if (move)
        MoveMouse(move->dx, move->dy);
}

void Engine::MoveMouse(int dx, int dy)
{
    const QString& unavailable = app_.platform.pointerUnavailable;
    if (!unavailable.isEmpty()) {
        // Without a display to move the pointer on, say so once; the rest keeps running.
        if (!pointerNoticeShown_) {
            pointerNoticeShown_ = true;
            qWarning("%s", qPrintable(unavailable));
            app_.platform.dialogs->message(unavailable, QStringLiteral("Corvane"), platform::Buttons::Ok);
        }
        return;
    }
    trapFaults(app_, [&] { app_.platform.pointer->moveRelative(dx, dy); });
}

void Engine::Start_Command_Click()
{
    trapFaults(app_, [this] {
        const qint64 now = app_.platform.clock->wholeSecondsNow();
        if (lastToggleTime_ && now - *lastToggleTime_ <= 1)
            return;
        if (form_->Start_Command->text() == kStart) {
            link_->SendStartCommand();
            form_->Start_Command->setText(kStop);
            form_->Dummy_Command->setFocus();
        } else {
            link_->SendStopCommand();
            form_->Start_Command->setText(kStart);
        }
        lastToggleTime_ = now;
    });
}

void Engine::stopOutputs()
{
    if (output_)
        output_->releaseHeld();
    if (link_)
        link_->shutdown();
}

void Engine::Form_Unload()
{
    // Release what the keyboard stage holds, stop and reset the tracker, close
    // the port, give the settings folder up, then end at once.
    trapFaults(app_, [this] { stopOutputs(); });
    if (app_.platform.claim)
        app_.platform.claim->release();
    if (help_)
        help_->hide();
    app_.platform.process->endProgram(0);
}

void Engine::endAbruptly(const QString& why)
{
    // No box can open, and no window is touched: the display may be gone.
    const bool reset = link_ && link_->portOpen();
    QString fault;
    try {
        stopOutputs();
    } catch (...) {
        fault = errorReportText(currentFault()).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    }
    if (app_.platform.claim)
        app_.platform.claim->release();
    QString message = why + (reset ? QStringLiteral(". Corvane stopped and reset the tracker and ends.")
                                   : QStringLiteral(". Corvane ends."));
    if (!fault.isEmpty())
        message += QLatin1Char(' ') + fault;
    std::fprintf(stderr, "corvane: %s\n", qPrintable(message));
    app_.platform.process->endProgram(1);
}

} // namespace corvane
