#include "ui/MainForm.h"

#include "core/Choices.h"
#include "engine/Motion.h"
#include "engine/TrackerLink.h"
#include "platform/ShowError.h"
#include "profiles/ProfileCommands.h"
#include "ui/Accessible.h"
#include "ui/HelpForm.h"
#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/StatusStrip.h"
#include "ui/TrayIcon.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

namespace corvane {

namespace {

// The lean mappings come after the turn and look mappings.
constexpr int kFirstLeanMapping = static_cast<int>(Mapping::LeanLeft);

void fill(PickList* list, const QStringList& items, const QString& selected)
{
    list->clear();
    for (const QString& item : items)
        list->addText(item);
    list->setText(selected);
}

} // namespace

MainForm::MainForm(AppContext& app, EngineHandlers handlers)
    : QWidget(nullptr), app_(app), handlers_(std::move(handlers))
{
    installAccessibility();
    build();
    commands_ = std::make_unique<ProfileCommands>(app_.platform, app_.store, *this);

    connect(Profile_Combo, &PickList::clicked, this, [this] { commands_->Profile_Combo_Click(); });
    connect(Save_Command, &QPushButton::clicked, this, [this] { commands_->Save_Command_Click(); });
    connect(SaveAs_Command, &QPushButton::clicked, this, [this] { commands_->SaveAs_Command_Click(); });
    connect(Cancel_Command, &QPushButton::clicked, this, [this] { commands_->Cancel_Command_Click(); });
    connect(Delete_Command, &QPushButton::clicked, this, [this] { commands_->Delete_Command_Click(); });
    connect(Start_Command, &QPushButton::clicked, this, [this] {
        if (handlers_.startClick)
            handlers_.startClick();
    });
    connect(ShowSettings_Command, &QPushButton::clicked, this, &MainForm::ShowSettings_Command_Click);
    connect(TabStrip, &QTabWidget::currentChanged, this, &MainForm::TabStrip_Click);
    connect(Help_Command, &QPushButton::clicked, this, &MainForm::Help_Command_Click);
    connect(TollanHome_Command, &QPushButton::clicked, this, &MainForm::TollanHome_Command_Click);
    connect(Mode_Combo, &PickList::clicked, this, &MainForm::Mode_Combo_Click);
    connect(MouseMode_Combo, &PickList::clicked, this, &MainForm::MouseMode_Combo_Click);
    connect(KeyMode_Combo, &PickList::clicked, this, &MainForm::KeyMode_Combo_Click);
    connect(Location_Combo, &PickList::clicked, this, &MainForm::Location_Combo_Click);
    connect(Speed_Combo, &PickList::clicked, this, &MainForm::Speed_Combo_Click);
    connect(Status_Line, &StatusStrip::detailsAsked, this, &MainForm::Status_Line_Click);
    Location_Combo->installEventFilter(this);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Location_Combo && event->type() == QEvent::ToolTip) {
        Location_Combo->setToolTip(describeLink(app_));
        qCDebug(lcLink).noquote() << "the port list's tooltip:" << Location_Combo->toolTip().replace(u'\n', u'|');
    }
    return QWidget::eventFilter(watched, event);
}

MainForm::~MainForm() = default;

void MainForm::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (handlers_.unload)
        handlers_.unload();
}

bool MainForm::currentProfileInRange() const
{
    const int index = app_.store.table.currentIndex;
    return index >= 1 && index <= app_.store.table.count();
}

void MainForm::Form_Load()
{
    trapFaults(app_.platform, [this] {
        setOuterSizeTwips(4425, 2010);
        Profile_Combo->clear();
        fill(Model_Combo, kModelItems, kAmbrel);
        fill(Location_Combo, kLocationItems, kLocationItems.first());
        fill(Speed_Combo, kSpeedItems, kSpeedItems.first());
        fill(Mode_Combo, kModeItems, kMouseEmulation);
        fill(MouseMode_Combo, kMouseModeItems, kMouseEvent);
        fill(KeyMode_Combo, kKeyModeItems, kDisabled);
        TabStrip_Frame->hide();
        for (QWidget* frame : groupFrames())
            frame->hide();
        for (QWidget* frame : groupFrames())
            frame->move(twipsX(240, *this), frame->y());
        TollanHome_Command->move(TollanHome_Command->x(), twipsY(945, *this));
    });
}

void MainForm::ShowSettings_Command_Click()
{
    trapFaults(app_.platform, [this] {
        if (!SettingsShown) {
            ShowSettings_Command->setText(tr("Hide Setti&ngs"));
            SettingsShown = true;
            TabStrip_Frame->show();
            TabStrip_Click();
            TollanHome_Command->move(TollanHome_Command->x(), twipsY(5610, *this));
            setOuterSizeTwips(outerWidthTwips_, 6675);
        } else {
            ShowSettings_Command->setText(tr("Show Setti&ngs"));
            SettingsShown = false;
            TabStrip_Frame->hide();
            TabStrip_Click();
            TollanHome_Command->move(TollanHome_Command->x(), twipsY(945, *this));
            setOuterSizeTwips(outerWidthTwips_, 2010);
        }
    });
}

void MainForm::TabStrip_Click()
{
    trapFaults(app_.platform, [this] {
        for (QWidget* frame : groupFrames())
            frame->hide();
        if (TabStrip_Frame->isHidden())
            return;
        const QString caption = TabStrip->tabText(TabStrip->currentIndex());
        QList<QWidget*> shown;
        if (caption == tr(kTabCaptions[0]))
            shown = {Model_Frame, Connection_Frame, Filters_Frame};
        else if (caption == tr(kTabCaptions[1]))
            shown = {MouseMode_Frame, Smoothing_Frame, Speed_Frame};
        else if (caption == tr(kTabCaptions[2]))
            shown = {KeyMode_Frame, Mappings_Frame};
        else if (caption == tr(kTabCaptions[3]))
            shown = {StartStop_Frame, DelayMillisecs_Frame, Monitor_Frame};
        for (QWidget* frame : shown)
            frame->show();
    });
}

void MainForm::Help_Command_Click()
{
    trapFaults(app_.platform, [this] { help().showHelp(); });
}

void MainForm::TollanHome_Command_Click()
{
    trapFaults(app_.platform, [this] { app_.platform.shell->open(kHomePageUrl); });
}

void MainForm::Mode_Combo_Click()
{
    trapFaults(app_.platform, [this] {
        const QString mode = Mode_Combo->text();
        const QList<QWidget*> sideSide = {SideSideSmooth->label(), SideSideSmooth->slider(), SideSideSmooth->box(),
                                          SideSideSpeed->label(),  SideSideSpeed->slider(),  SideSideSpeed->box()};
        // The lean mappings follow the side-side movement, which only "Euler Angle" has.
        if (mode == kMouseEmulation) {
            for (QWidget* w : sideSide)
                w->setEnabled(false);
            for (int i = kFirstLeanMapping; i < kMovementMappingCount; ++i)
                enableMapping(i, false);
        } else if (mode == kEulerAngle) {
            for (QWidget* w : sideSide)
                w->setEnabled(true);
            if (app_.store.table.current().keyMode == kDisabled)
                return;
            for (int i = kFirstLeanMapping; i < kMovementMappingCount; ++i)
                enableMapping(i, true);
        }
    });
}

void MainForm::MouseMode_Combo_Click()
{
    trapFaults(app_.platform, [this] {
        if (app_.store.table.currentIndex > 0)
            app_.store.table.current().mouseMode = MouseMode_Combo->text();
    });
}

void MainForm::KeyMode_Combo_Click()
{
    trapFaults(app_.platform, [this] {
        const QString keyMode = KeyMode_Combo->text();
        // The turn and look mappings, and the leans unless the tracker mode has no side-side movement.
        const bool enabled = keyMode != kDisabled;
        const int last = enabled && Mode_Combo->text() == kMouseEmulation ? kFirstLeanMapping : kMovementMappingCount;
        for (int i = 0; i < last; ++i)
            enableMapping(i, enabled);
        if (app_.store.table.currentIndex > 0)
            app_.store.table.current().keyMode = keyMode;
    });
}

void MainForm::MappingCheck_Click(Mapping mapping)
{
    trapFaults(app_.platform, [&] {
        const int i = static_cast<int>(mapping);
        if (!keyChecks[i]->isChecked()) {
            recording_ = false; // the recorded sequence stays
            return;
        }
        // One recording at a time: the movement buttons pop each other out, and
        // so do the start and stop buttons.
        const bool global = i >= kMovementMappingCount;
        for (int j = global ? kMovementMappingCount : 0; j < (global ? kMappingCount : kMovementMappingCount); ++j)
            if (j != i)
                keyChecks[j]->setChecked(false);
        app_.store.table.current().*kMappingFields[i] = QString();
        keyBoxes[i]->clear();
        recording_ = true;
    });
}

void MainForm::MappingCheck_LostFocus(Mapping mapping)
{
    trapFaults(app_.platform, [&] {
        keyChecks[static_cast<int>(mapping)]->setChecked(false);
        recording_ = false;
    });
}

void MainForm::MappingBox_Change(Mapping mapping)
{
    trapFaults(app_.platform, [&] {
        const int i = static_cast<int>(mapping);
        if (keyBoxes[i]->programChanging() || keyBoxes[i]->toPlainText() == renderedBoxText_[i])
            return;
        // Typed text is undone: the box shows its mapping again.
        renderMapping(i, app_.store.table.current().*kMappingFields[i]);
    });
}

void MainForm::Location_Combo_Click()
{
    trapFaults(app_.platform, [this] {
        const auto at = kLocationItems.indexOf(Location_Combo->text());
        if (at >= 0) {
            app_.link.portNumber = static_cast<int>(at) + 1;
        } else {
            Location_Combo->setText(kLocationItems.first());
            app_.link.portNumber = 1;
        }
        if (currentProfileInRange())
            app_.store.table.current().location = Location_Combo->text();
    });
}

void MainForm::Speed_Combo_Click()
{
    trapFaults(app_.platform, [this] {
        if (kSpeedItems.contains(Speed_Combo->text())) {
            app_.link.portSettings = portSettingsOf(Speed_Combo->text());
        } else {
            Speed_Combo->setText(kSpeedItems.first());
            app_.link.portSettings = portSettingsOf(kSpeedItems.first());
        }
        if (currentProfileInRange())
            app_.store.table.current().speed = Speed_Combo->text();
    });
}

void MainForm::Status_Line_Click()
{
    trapFaults(app_.platform, [this] {
        if (!details_)
            details_ = new StatusDetails(this);
        details_->showText(handlers_.diagnosis ? handlers_.diagnosis() : Status_Line->status().text);
    });
}

void MainForm::enableMapping(int mapping, bool enabled)
{
    keyChecks[mapping]->setEnabled(enabled);
    keyBoxes[mapping]->setEnabled(enabled);
}

void MainForm::renderMapping(int mapping, const QString& sequence)
{
    if (auto shown = RenderKeySequence(app_, *keyBoxes[mapping], sequence))
        renderedBoxText_[mapping] = *shown;
}

HelpForm& MainForm::help()
{
    if (!help_)
        help_ = std::make_unique<HelpForm>();
    return *help_;
}

void MainForm::hideHelp()
{
    if (help_)
        help_->hide();
}

QString MainForm::profileName() const { return Profile_Combo->text(); }
void MainForm::setProfileName(const QString& name) { Profile_Combo->setText(name); }
QStringList MainForm::profileNames() const { return Profile_Combo->items(); }
void MainForm::addProfileName(const QString& name) { Profile_Combo->addText(name); }
void MainForm::clearProfileNames() { Profile_Combo->clear(); }

void MainForm::showProfile(const Profile& profile)
{
    auto show = [&](SettingPair* pair, qint32 Profile::*field) {
        pair->box()->setText(QString::number(profile.*field));
    };
    Model_Combo->setText(profile.model);
    Location_Combo->setText(profile.location);
    Speed_Combo->setText(profile.speed);
    Mode_Combo->setText(profile.mode);
    show(Magnetic, &Profile::magnetic);
    show(Jitter, &Profile::jitter);
    show(Tilt, &Profile::tilt);
    MouseMode_Combo->setText(profile.mouseMode);
    show(LeftRightSmooth, &Profile::leftRightSmooth);
    show(UpDownSmooth, &Profile::upDownSmooth);
    show(SideSideSmooth, &Profile::sideSideSmooth);
    show(LeftRightSpeed, &Profile::leftRightSpeed);
    show(UpDownSpeed, &Profile::upDownSpeed);
    show(SideSideSpeed, &Profile::sideSideSpeed);
    KeyMode_Combo->setText(profile.keyMode);
    for (int i = 0; i < kMappingCount; ++i)
        renderMapping(i, profile.*kMappingFields[i]);
    show(DelayMillisecs, &Profile::delayMillisecs);
}

bool MainForm::trackingStarted() const { return Start_Command->text() == tr(kStopCaption); }

void MainForm::setTrackingStarted(bool started)
{
    Start_Command->setText(tr(started ? kStopCaption : kStartCaption));
    if (tray_)
        tray_->setTracking(started);
    // The focus leaves Start for the Dummy button, outside the window.
    if (started)
        Dummy_Command->setFocus();
}

QString MainForm::keyMode() const { return KeyMode_Combo->text(); }

std::optional<int> MainForm::pressedInMapping() const
{
    for (int i = 0; i < kMappingCount; ++i)
        if (keyChecks[i]->isChecked())
            return i;
    return std::nullopt;
}

void MainForm::appendKeyLabel(int mapping, const QString& label, LabelColour colour)
{
    keyBoxes[mapping]->appendLabel(label, colour);
}

void MainForm::showKeys(const QString& text) { KeyMon_Text->setText(text); }

SetupTexts MainForm::setupTexts() const
{
    return {Mode_Combo->text(), Magnetic->box()->text(), Tilt->box()->text(), Jitter->box()->text()};
}

void MainForm::setMode(const QString& mode) { Mode_Combo->setText(mode); }
QString MainForm::location() const { return Location_Combo->text(); }
void MainForm::setLocation(const QString& location) { Location_Combo->setText(location); }
QString MainForm::speed() const { return Speed_Combo->text(); }
void MainForm::setSpeed(const QString& speed) { Speed_Combo->setText(speed); }
int MainForm::jitterSetting() const { return Jitter->slider()->value(); }

void MainForm::showStatus(const Status& status)
{
    Status_Line->showStatus(status);
    if (tray_)
        tray_->showStatus(status);
}

void MainForm::showMonitor(const MovementValues& values)
{
    if (Monitor_Frame->isHidden())
        return;
    LRMon_Text->setText(monitorText(values.leftRight));
    UDMon_Text->setText(monitorText(values.upDown));
    SSMon_Text->setText(monitorText(values.sideSide));
}

} // namespace corvane
