#include "ui/MainForm.h"

#include "engine/TrackerLink.h"

#include "profiles/ProfileCommands.h"
#include "ui/HelpForm.h"
#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/ShowError.h"
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

const QString kMouseEmulation = QStringLiteral("Mouse Emulation");
const QString kEulerAngle = QStringLiteral("Euler Angle");
const QString kDisabled = QStringLiteral("Disabled");

// Items of the Connection frame's lists and what the link takes from them.
struct SpeedItem {
    const char* item;
    const char* settings;
};
constexpr SpeedItem kSpeeds[] = {
    {"19200 Kbps", "19200,n,8,1"}, {"9600 Kbps", "9600,n,8,1"}, {"4800 Kbps", "4800,n,8,1"},
    {"2400 Kbps", "2400,n,8,1"},   {"1200 Kbps", "1200,n,8,1"},
};
const QStringList kLocations = {QStringLiteral("COM 1"), QStringLiteral("COM 2"), QStringLiteral("COM 3"),
                                QStringLiteral("COM 4")};

void fill(PickList* list, const QStringList& items, const QString& selected)
{
    list->clear();
    for (const QString& item : items)
        list->addText(item);
    list->setText(selected);
}

} // namespace

MainForm::MainForm(AppContext& app, HelpForm* help) : QWidget(nullptr), app_(app), help_(help)
{
    build();
    commands_ = std::make_unique<ProfileCommands>(app_, *this);

    connect(Profile_Combo, &PickList::clicked, this, [this] { commands_->Profile_Combo_Click(); });
    connect(Save_Command, &QPushButton::clicked, this, [this] { commands_->Save_Command_Click(); });
    connect(SaveAs_Command, &QPushButton::clicked, this, [this] { commands_->SaveAs_Command_Click(); });
    connect(Cancel_Command, &QPushButton::clicked, this, [this] { commands_->Cancel_Command_Click(); });
    connect(Delete_Command, &QPushButton::clicked, this, [this] { commands_->Delete_Command_Click(); });
    connect(Start_Command, &QPushButton::clicked, this, [this] {
        if (startClick)
            startClick();
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
    if (unload)
        unload();
}

bool MainForm::currentProfileInRange() const
{
    const int index = app_.store.table.currentIndex;
    return index >= 1 && index <= app_.store.table.count();
}

void MainForm::Form_Load()
{
    trapFaults(app_, [this] {
        setOuterSizeTwips(4425, 2010);
        Profile_Combo->clear();
        fill(Model_Combo, {QStringLiteral("Ambrel")}, QStringLiteral("Ambrel"));
        fill(Location_Combo, kLocations, kLocations.first());
        QStringList speeds;
        for (const SpeedItem& s : kSpeeds)
            speeds.append(QString::fromLatin1(s.item));
        fill(Speed_Combo, speeds, speeds.first());
        fill(Mode_Combo, {kMouseEmulation, kEulerAngle}, kMouseEmulation);
        fill(MouseMode_Combo, {kDisabled, QStringLiteral("Mouse Event")}, QStringLiteral("Mouse Event"));
        fill(KeyMode_Combo,
             {kDisabled, QStringLiteral("Send Keys"), QStringLiteral("Emulate Keys"), QStringLiteral("Keyboard Event")},
             kDisabled);
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
    trapFaults(app_, [this] {
        if (!SettingsShown) {
            ShowSettings_Command->setText(QStringLiteral("Hide Settings"));
            SettingsShown = true;
            TabStrip_Frame->show();
            TabStrip_Click();
            TollanHome_Command->move(TollanHome_Command->x(), twipsY(5610, *this));
            setOuterSizeTwips(outerWidthTwips_, 6675);
        } else {
            ShowSettings_Command->setText(QStringLiteral("Show Settings"));
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
    trapFaults(app_, [this] {
        for (QWidget* frame : groupFrames())
            frame->hide();
        if (TabStrip_Frame->isHidden())
            return;
        const QString caption = TabStrip->tabText(TabStrip->currentIndex());
        QList<QWidget*> shown;
        if (caption == QLatin1String("Tracker"))
            shown = {Model_Frame, Connection_Frame, Filters_Frame};
        else if (caption == QLatin1String("Mouse"))
            shown = {MouseMode_Frame, Smoothing_Frame, Speed_Frame};
        else if (caption == QLatin1String("Keyboard"))
            shown = {KeyMode_Frame, Mappings_Frame};
        else if (caption == QLatin1String("Other"))
            shown = {StartStop_Frame, DelayMillisecs_Frame, Monitor_Frame};
        for (QWidget* frame : shown)
            frame->show();
    });
}

void MainForm::Help_Command_Click()
{
    trapFaults(app_, [this] {
        if (help_)
            help_->showHelp();
    });
}

void MainForm::TollanHome_Command_Click()
{
    trapFaults(app_, [this] { app_.platform.shell->open(kHomePageUrl); });
}

void MainForm::Mode_Combo_Click()
{
    trapFaults(app_, [this] {
        const QString mode = Mode_Combo->text();
        const QList<QWidget*> sideSide = {SideSideSmooth->label(), SideSideSmooth->slider(), SideSideSmooth->box(),
                                          SideSideSpeed->label(),  SideSideSpeed->slider(),  SideSideSpeed->box()};
        const QList<QWidget*> leans = {keyChecks[4], keyBoxes[4], keyChecks[5], keyBoxes[5]};
        if (mode == kMouseEmulation) {
            for (QWidget* w : sideSide + leans)
                w->setEnabled(false);
        } else if (mode == kEulerAngle) {
            for (QWidget* w : sideSide)
                w->setEnabled(true);
            if (app_.store.table.current().keyMode == kDisabled)
                return;
            for (QWidget* w : leans)
                w->setEnabled(true);
        }
    });
}

void MainForm::MouseMode_Combo_Click()
{
    trapFaults(app_, [this] {
        if (app_.store.table.currentIndex > 0)
            app_.store.table.current().mouseMode = MouseMode_Combo->text();
    });
}

void MainForm::KeyMode_Combo_Click()
{
    trapFaults(app_, [this] {
        const QString keyMode = KeyMode_Combo->text();
        if (keyMode == kDisabled) {
            for (int i = 0; i < 6; ++i) {
                keyChecks[i]->setEnabled(false);
                keyBoxes[i]->setEnabled(false);
            }
        } else {
            for (int i = 0; i < 4; ++i) {
                keyChecks[i]->setEnabled(true);
                keyBoxes[i]->setEnabled(true);
            }
            if (Mode_Combo->text() != kMouseEmulation) {
                for (int i = 4; i < 6; ++i) {
                    keyChecks[i]->setEnabled(true);
                    keyBoxes[i]->setEnabled(true);
                }
            }
        }
        if (app_.store.table.currentIndex > 0)
            app_.store.table.current().keyMode = keyMode;
    });
}

void MainForm::MappingCheck_Click(Mapping mapping)
{
    trapFaults(app_, [&] {
        const int i = static_cast<int>(mapping);
        if (!keyChecks[i]->isChecked()) {
            app_.recordingActive = false; // the recorded sequence stays
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
        app_.recordingActive = true;
    });
}

void MainForm::MappingCheck_LostFocus(Mapping mapping)
{
    trapFaults(app_, [&] {
        keyChecks[static_cast<int>(mapping)]->setChecked(false);
        app_.recordingActive = false;
    });
}

void MainForm::MappingBox_Change(Mapping mapping)
{
    trapFaults(app_, [&] {
        const int i = static_cast<int>(mapping);
        if (keyBoxes[i]->programChanging() || keyBoxes[i]->toPlainText() == app_.renderedBoxText[i])
            return;
        // Typed text is undone: the box shows its mapping again.
        if (auto shown = RenderKeySequence(app_, *keyBoxes[i], app_.store.table.current().*kMappingFields[i]))
            app_.renderedBoxText[i] = *shown;
    });
}

void MainForm::Location_Combo_Click()
{
    trapFaults(app_, [this] {
        const auto at = kLocations.indexOf(Location_Combo->text());
        if (at >= 0) {
            app_.link.portNumber = static_cast<int>(at) + 1;
        } else {
            Location_Combo->setText(kLocations.first());
            app_.link.portNumber = 1;
        }
        if (currentProfileInRange())
            app_.store.table.current().location = Location_Combo->text();
    });
}

void MainForm::Speed_Combo_Click()
{
    trapFaults(app_, [this] {
        const QString text = Speed_Combo->text();
        bool known = false;
        for (const SpeedItem& s : kSpeeds) {
            if (text == QLatin1String(s.item)) {
                app_.link.portSettings = QString::fromLatin1(s.settings);
                known = true;
            }
        }
        if (!known) {
            Speed_Combo->setText(QString::fromLatin1(kSpeeds[0].item));
            app_.link.portSettings = QString::fromLatin1(kSpeeds[0].settings);
        }
        if (currentProfileInRange())
            app_.store.table.current().speed = Speed_Combo->text();
    });
}

} // namespace corvane
