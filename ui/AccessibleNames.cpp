// The names and descriptions a screen reader tells of the main window's
// controls, each the words of the control's label made whole where the label
// is short ("Port speed" for "Speed"), and the labels' buddies that their Alt
// shortcuts lead to.
#include "ui/MainForm.h"

#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

namespace corvane {

namespace {

// A control found by its object name and what it is called.
struct Named {
    const char* object;
    const char* name;
    const char* description = nullptr;
};

// The slider and number box pairs: the slider is called `name`, the box
// `name` and "value".
constexpr Named kPairNames[] = {
    {"Magnetic", QT_TRANSLATE_NOOP("corvane::MainForm", "Magnetic filter")},
    {"Jitter", QT_TRANSLATE_NOOP("corvane::MainForm", "Jitter filter")},
    {"Tilt", QT_TRANSLATE_NOOP("corvane::MainForm", "Tilt filter")},
    {"LeftRightSmooth", QT_TRANSLATE_NOOP("corvane::MainForm", "Left-right smoothing")},
    {"UpDownSmooth", QT_TRANSLATE_NOOP("corvane::MainForm", "Up-down smoothing")},
    {"SideSideSmooth", QT_TRANSLATE_NOOP("corvane::MainForm", "Side-side smoothing")},
    {"LeftRightSpeed", QT_TRANSLATE_NOOP("corvane::MainForm", "Left-right speed")},
    {"UpDownSpeed", QT_TRANSLATE_NOOP("corvane::MainForm", "Up-down speed")},
    {"SideSideSpeed", QT_TRANSLATE_NOOP("corvane::MainForm", "Side-side speed")},
    {"DelayMillisecs", QT_TRANSLATE_NOOP("corvane::MainForm", "Update delay")},
};

constexpr Named kControlNames[] = {
    {"Profile_Combo", QT_TRANSLATE_NOOP("corvane::MainForm", "Profile")},
    {"TabStrip_Frame", QT_TRANSLATE_NOOP("corvane::MainForm", "Settings")},
    {"TabStrip", QT_TRANSLATE_NOOP("corvane::MainForm", "Settings tabs")},
    {"Model_Frame", QT_TRANSLATE_NOOP("corvane::MainForm", "Tracker model")},
    {"Model_Combo", QT_TRANSLATE_NOOP("corvane::MainForm", "Model")},
    {"Location_Combo", QT_TRANSLATE_NOOP("corvane::MainForm", "Location")},
    {"Speed_Combo", QT_TRANSLATE_NOOP("corvane::MainForm", "Port speed")},
    {"Mode_Combo", QT_TRANSLATE_NOOP("corvane::MainForm", "Mode")},
    {"MouseMode_Frame", QT_TRANSLATE_NOOP("corvane::MainForm", "Mouse mode")},
    {"MouseMode_Combo", QT_TRANSLATE_NOOP("corvane::MainForm", "Mode")},
    {"KeyMode_Frame", QT_TRANSLATE_NOOP("corvane::MainForm", "Key mode")},
    {"KeyMode_Combo", QT_TRANSLATE_NOOP("corvane::MainForm", "Mode")},
    {"TurnLeftKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Turn left keys")},
    {"TurnRightKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Turn right keys")},
    {"LookUpKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Look up keys")},
    {"LookDownKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Look down keys")},
    {"LeanLeftKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Lean left keys")},
    {"LeanRightKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Lean right keys")},
    {"StartKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Start keys")},
    {"StopKey_RichText", QT_TRANSLATE_NOOP("corvane::MainForm", "Stop keys")},
    {"LRMon_Text", QT_TRANSLATE_NOOP("corvane::MainForm", "Output monitor: turn"),
     QT_TRANSLATE_NOOP("corvane::MainForm", "TL / TR: turn left and right")},
    {"UDMon_Text", QT_TRANSLATE_NOOP("corvane::MainForm", "Output monitor: up-down"),
     QT_TRANSLATE_NOOP("corvane::MainForm", "LU / LD: look up and down")},
    {"SSMon_Text", QT_TRANSLATE_NOOP("corvane::MainForm", "Output monitor: lean"),
     QT_TRANSLATE_NOOP("corvane::MainForm", "LL / LR: lean left and right")},
    {"KeyMon_Text", QT_TRANSLATE_NOOP("corvane::MainForm", "Output monitor: keys sent")},
    {"Status_Line", QT_TRANSLATE_NOOP("corvane::MainForm", "Status")},
};

} // namespace

void MainForm::nameControls()
{
    const auto name = [this](QWidget* w, const Named& n) {
        w->setAccessibleName(tr(n.name));
        if (n.description)
            w->setAccessibleDescription(tr(n.description));
    };
    for (const Named& n : kControlNames)
        name(findChild<QWidget*>(QLatin1String(n.object)), n);
    for (const Named& n : kPairNames) {
        const auto* pair = findChild<SettingPair*>(QLatin1String(n.object));
        name(pair->slider(), n);
        pair->box()->setAccessibleName(tr("%1 value").arg(tr(n.name)));
        pair->label()->setBuddy(pair->slider());
    }
    // The tab widget's own parts, and its pages named by their tabs.
    TabStrip->findChild<QTabBar*>()->setAccessibleName(tr("Settings tabs"));
    TabStrip->findChild<QStackedWidget*>()->setAccessibleName(tr("Settings page"));
    for (int i = 0; i < TabStrip->count(); ++i)
        TabStrip->widget(i)->setAccessibleName(TabStrip->tabText(i).remove(u'&'));

    const std::pair<QLabel*, QWidget*> buddies[] = {
        {Profile_Label, Profile_Combo}, {Model_Label, Model_Combo}, {LocationLabel, Location_Combo},
        {Speed_Label, Speed_Combo},     {Mode_Label, Mode_Combo},   {MouseMode_Label, MouseMode_Combo},
        {KeyMode_Label, KeyMode_Combo},
    };
    for (const auto& [label, buddy] : buddies)
        label->setBuddy(buddy);
}

} // namespace corvane
