#include "engine/Main.h"

#include "engine/StartUpBoxes.h"
#include "engine/StatusLine.h"
#include "engine/TrackerLink.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeyboardOutput.h"
#include "keyboard/KeyboardPoll.h"
#include "platform/Files.h"
#include "platform/ShowError.h"
#include "profiles/ProfileCommands.h"

#include <QDateTime>
#include <QFileInfo>

#include <cstdio>
#include <utility>

namespace corvane {

namespace {

QString stampNow() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")); }

} // namespace

Engine::Engine(platform::Platform& platform, SettingsFolder settings, WindowMaker makeWindow)
    : settings_(std::move(settings)), app_(platform, settings_.path), pump_(*platform.process),
      makeWindow_(std::move(makeWindow))
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

bool Engine::started() const { return view_ && view_->trackingStarted(); }

int Engine::Main()
{
    try {
        if (!startUp())
            return 1;
        runLoop();
        // A fault ended the loop: the windows stay usable until the main
        // window closes, and the joystick, which nothing moves now, rests at
        // the centre.
        app_.platform.joystick->move({});
        for (;;)
            pump_.waitAndProcess();
    } catch (const ProgramEnded& end) {
        return end.status;
    }
}

void Engine::createDefaults()
{
    ProfileTable& table = app_.store.table;
    view_->addProfileName(kDefaultFlightSimulator);
    createDefaultFlightSimulator(table, app_.store.lastProfileName);
    view_->addProfileName(kDefaultEulerAngle);
    createDefaultEulerAngle(table, app_.store.lastProfileName);
    view_->addProfileName(kDefaultMouseEmulation);
    createDefaultMouseEmulation(table, app_.store.lastProfileName);
    view_->commands().WriteProfiles();
}

bool Engine::startUp()
{
    bool profilesLoaded = false;
    const bool clean = trapFaults(app_.platform, [this, &profilesLoaded] {
        app_.platform.process->raisePriority();
        view_ = makeWindow_(app_, {[this] { Start_Command_Click(); }, [this] { Form_Unload(); },
                                   [this] { return diagnosis(app_, settings_, status_->status()); }});
        status_ = std::make_unique<StatusReport>(app_, *view_);
        link_ = std::make_unique<TrackerLink>(app_, *view_, pump_);
        poll_ = std::make_unique<KeyboardPoll>(app_.platform, app_.store.table, *view_, pump_,
                                               [this] { Start_Command_Click(); });
        output_ = std::make_unique<KeyboardOutput>(app_.platform, app_.store.table, pump_);
        app_.platform.process->whenAskedToEnd([this] { Form_Unload(); });
        app_.platform.process->whenEndedAbruptly([this](const QString& why) { endAbruptly(why); });
        view_->Form_Load();
        loadKeyNames();
        // A failed carry-over is reported; the start goes on in the new folder.
        trapFaults(app_.platform, [this] { carryOverSettings(); });
        profilesLoaded = loadProfiles();
        if (!profilesLoaded)
            return;
        view_->commands().ApplyProfile(view_->profileName());
        status_->update();
        view_->showWindow();
        // From here on boxes open over the window; before, it was not on the screen.
        app_.platform.dialogs->setOwner(view_->widget());
        if (app_.platform.claim)
            app_.platform.claim->whenAskedToShow([this]() -> QWidget* { return view_->widget(); });
    });
    return clean && profilesLoaded;
}

void Engine::carryOverSettings()
{
    const CarriedOver result = corvane::carryOverSettings(
        settings_, {&platform::readOwnFile, &platform::readDeviceLink, &platform::replaceFileWhole});
    if (result.carried.isEmpty() && result.left.isEmpty())
        return;
    app_.platform.dialogs->message(carriedOverText(settings_, result), startUpTitle(), platform::Buttons::Ok);
}

bool Engine::loadProfiles()
{
    ProfileStore& store = app_.store;
    // What a save cut off by the end of the program left beside the files.
    platform::removeSaveLeftovers(store.folder(), {kProfilesFileName, kLastProfileFileName});
    view_->commands().ReadProfiles();
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
                                 : view_->profileNames();
    if (!startWith.isEmpty() && !listed.contains(startWith))
        return keepAsideOrQuit(true);
    if (store.table.count() == 0)
        createDefaults();
    store.readLastProfile();
    if (!store.lastProfileName.isEmpty())
        view_->setProfileName(store.lastProfileName);
    return true;
}

bool Engine::keepAsideOrQuit(bool startProfileMissing)
{
    ProfileStore& store = app_.store;
    QList<FileMove> moves = store.keptNames(stampNow());
    // When only the profile used last is missing from a profiles file that is
    // whole, that file stays where it is: the last-profile file alone goes
    // aside, and "Default Mouse Emulation" of the file starts.
    if (startProfileMissing && store.found.wholeProfiles > 0 && view_->profileNames().contains(kDefaultMouseEmulation))
        moves.removeIf([&](const FileMove& move) { return move.first == store.profilesPath(); });
    const int choice = app_.platform.dialogs->choose(recoveryText(store, startProfileMissing, moves), startUpTitle(),
                                                     {keepAsideChoice(), quitChoice()}, 0);
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
    if (app_.platform.dialogs->choose(cutProfileText(store, keptName), startUpTitle(), {keepCopyChoice(), quitChoice()},
                                      0)
        != 0)
        return false;
    store.keepCopyOfProfiles(keptPath);
    // The cut profile stays counted, without a name: never listed, never written.
    store.table.at(store.table.count()).name.clear();
    store.writeProfiles();
    return loadProfiles();
}

void Engine::runLoop()
{
    trapFaults(app_.platform, [this] {
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
    keepJoystick();
    status_->update();
    if (!started())
        return;
    if (app_.link.acceptedCommand.isEmpty()) {
        restJoystick();
        return;
    }
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
    MovementValues decoded = values_;
    if (std::exchange(joystickFresh_, false))
        decoded = {};
    motion_.process(values_, app_.store.table.current());
    // In mode "Joystick" the monitor shows the axes instead, once they are known.
    if (app_.store.table.current().mouseMode != kJoystick)
        view_->showMonitor(values_);
    // The keyboard stage (which does nothing in "Disabled") can take directions away from the mouse.
    output_->SendMappedKeys(values_, cycleKeySequence_, *view_);
    const QString& mouseMode = app_.store.table.current().mouseMode;
    if (mouseMode == kJoystick)
        joystickStage(decoded);
    else if (mouseMode != kDisabled)
        mouseStage();
    values_.sideSide = 0;
    cycleKeySequence_.clear();
}

void Engine::mouseStage()
{
    const auto move = mouseMove(values_, app_.store.table.current(), view_->jitterSetting());
    if (move)
        MoveMouse(move->dx, move->dy);
}

void Engine::keepJoystick()
{
    const bool wanted = app_.joystickChosen();
    if (wanted == joystickWanted_)
        return;
    joystickWanted_ = wanted;
    platform::JoystickOutput& joystick = *app_.platform.joystick;
    if (!wanted) {
        joystick.move({});
        return;
    }
    joystick_.recentre();
    app_.joystickRefusal = joystick.open();
    if (app_.joystickRefusal.isEmpty() || joystickNoticeShown_)
        return;
    // Said once; the status line keeps saying it while the mode is chosen.
    joystickNoticeShown_ = true;
    const QString text = joystickRefusalText(app_.joystickRefusal, app_.platform.input);
    qWarning("%s", qPrintable(text));
    app_.platform.dialogs->message(text, QStringLiteral("Corvane"), platform::Buttons::Ok);
}

void Engine::restJoystick()
{
    if (!joystickWanted_)
        return;
    app_.platform.joystick->move({});
    joystick_.recentre();
    joystickFresh_ = true;
}

void Engine::joystickStage(const MovementValues& decoded)
{
    const JoystickAxes axes = joystick_.step(decoded, app_.store.table.current(), view_->keyMode(), view_->recording());
    view_->showMonitor({double(axes.turn), double(axes.pitch), double(axes.lean)});
    app_.platform.joystick->move(axes);
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
    trapFaults(app_.platform, [&] { app_.platform.pointer->moveRelative(dx, dy); });
}

void Engine::Start_Command_Click()
{
    trapFaults(app_.platform, [this] {
        const qint64 now = app_.platform.clock->wholeSecondsNow();
        if (lastToggleTime_ && now - *lastToggleTime_ <= 1)
            return;
        if (!view_->trackingStarted()) {
            link_->SendStartCommand();
            view_->setTrackingStarted(true);
            // Where the head is now is straight ahead; a joystick refused
            // before may have been given its access since.
            joystick_.recentre();
            joystickFresh_ = true;
            if (joystickWanted_ && !app_.joystickRefusal.isEmpty())
                app_.joystickRefusal = app_.platform.joystick->open();
        } else {
            link_->SendStopCommand();
            view_->setTrackingStarted(false);
            // The view in the game comes back to straight ahead.
            app_.platform.joystick->move({});
        }
        lastToggleTime_ = now;
        status_->update();
    });
}

void Engine::stopOutputs()
{
    // The joystick first: it cannot fail, and the game's view comes back
    // to straight ahead even when releasing the keys does.
    if (app_.platform.joystick)
        app_.platform.joystick->close();
    if (output_)
        output_->releaseHeld();
    if (link_)
        link_->shutdown();
}

void Engine::Form_Unload()
{
    // Release what the keyboard stage holds, stop and reset the tracker, close
    // the port, give the settings folder up, then end at once.
    trapFaults(app_.platform, [this] { stopOutputs(); });
    if (app_.platform.claim)
        app_.platform.claim->release();
    if (view_)
        view_->hideHelp();
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
    QString message = why
                    + (reset ? QStringLiteral(". Corvane stopped and reset the tracker and ends.")
                             : QStringLiteral(". Corvane ends."));
    if (!fault.isEmpty())
        message += QLatin1Char(' ') + fault;
    std::fprintf(stderr, "corvane: %s\n", qPrintable(message));
    app_.platform.process->endProgram(1);
}

} // namespace corvane
