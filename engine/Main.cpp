#include "engine/Main.h"

#include "engine/TrackerLink.h"
#include "keyboard/KeyNames.h"
#include "keyboard/PollKeyboard.h"
#include "keyboard/SendMappedKeys.h"
#include "profiles/ProfileCommands.h"
#include "ui/HelpForm.h"
#include "ui/MainForm.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/ShowError.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace corvane {

namespace {
const QString kStop = QStringLiteral("Stop");
const QString kStart = QStringLiteral("Start");
} // namespace

Engine::Engine(platform::Platform& platform, const QString& folder)
    : app_(platform, folder), pump_(*platform.process)
{
}

Engine::~Engine() = default;

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
    // A profiles file that exists but gave no profile is kept aside, not overwritten.
    const QFileInfo existing(app_.store.profilesPath());
    if (existing.exists() && existing.size() > 0) {
        const QString kept = existing.filePath() + QStringLiteral(".unreadable-")
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        if (QFile::rename(existing.filePath(), kept)) {
            app_.platform.dialogs->message(
                QStringLiteral("The profiles file \"%1\" holds no profile that Corvane can read.").arg(existing.filePath())
                    + QStringLiteral("\r\n\r\nIt was kept as \"%1\" and the default profiles were created.").arg(kept),
                QStringLiteral("Corvane"), platform::Buttons::Ok);
        }
    }
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
    return trapFaults(app_, [this] {
        app_.platform.process->raisePriority();
        help_ = std::make_unique<HelpForm>();
        form_ = std::make_unique<MainForm>(app_, help_.get());
        form_->startClick = [this] { Start_Command_Click(); };
        form_->unload = [this] { Form_Unload(); };
        link_ = std::make_unique<TrackerLink>(app_, *form_, pump_);
        poll_ = std::make_unique<KeyboardPoll>(app_, *form_, pump_, [this] { Start_Command_Click(); });
        output_ = std::make_unique<KeyboardOutput>(app_, pump_);
        app_.platform.process->whenAskedToEnd([this] { Form_Unload(); });
        form_->Form_Load();
        loadKeyNames();
        form_->commands().ReadProfiles();
        if (app_.store.table.count() == 0)
            createDefaults();
        app_.store.readLastProfile();
        if (!app_.store.lastProfileName.isEmpty()) {
            try {
                form_->Profile_Combo->setText(app_.store.lastProfileName);
            } catch (const Fault& fault) {
                // Say which file to look at: the profile used last is not among those read.
                throw Fault{fault.number,
                            fault.description
                                + QStringLiteral(". The profile used last (\"%1\") is not in the profiles file %2; "
                                                 "check that file, or delete %3 to start with another profile.")
                                      .arg(app_.store.lastProfileName, app_.store.profilesPath(),
                                           app_.store.lastProfilePath())};
            }
        }
        form_->commands().ApplyProfile(form_->Profile_Combo->text());
        form_->show();
        // From here on boxes open over the window; before, it was not on the screen.
        app_.platform.dialogs->setOwner(form_.get());
    });
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

void Engine::Form_Unload()
{
    // Release what the keyboard stage holds, stop and reset the tracker, close
    // the port, then end at once.
    if (output_)
        output_->releaseHeld();
    if (link_)
        trapFaults(app_, [this] { link_->shutdown(); });
    if (help_)
        help_->hide();
    app_.platform.process->endProgram(0);
}

} // namespace corvane
