// The main window's controls, made and placed in twips as the window shows
// them.
#include "ui/MainForm.h"

#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/StatusStrip.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <iterator>

namespace corvane {

namespace {

// A control's place in its parent, in twips.
struct Twips {
    int left, top, width, height;
};

template <class Widget>
Widget* placedIn(Widget* w, const QString& name, const Twips& at, const QWidget& parent)
{
    w->setObjectName(name);
    w->setGeometry(twipsRect(at.left, at.top, at.width, at.height, parent));
    return w;
}

// The group frames span the panel's width: the mode frames at the top of the
// Tracker, Mouse and Keyboard tabs, and the captioned frames below them.
constexpr int kFrameLeft = 240;
constexpr int kFrameWidth = 3855;
constexpr int kModeFrameTop = 1410;

// The captioned frames, each a child of the window drawn over its tab.
struct GroupFrame {
    QGroupBox* MainForm::*member;
    const char* name;
    const char* caption;
    int top, height;
};

QGroupBox* makeFrame(MainForm& form, const GroupFrame& frame)
{
    auto* box = new QGroupBox(MainForm::tr(frame.caption), &form);
    form.*frame.member = box;
    return placedIn(box, QString::fromLatin1(frame.name), {kFrameLeft, frame.top, kFrameWidth, frame.height}, form);
}

// A group frame's rows: a caption on the left (a label or a mapping button),
// a field on the right (a list or a key box), the rows a pitch apart. The
// movement mappings stand further apart than the other rows.
constexpr int kFirstRowTop = 300;
constexpr int kRowPitch = 360;
constexpr int kMappingRowPitch = 450;
constexpr int kRowHeight = 315;

constexpr int rowTop(int row, int pitch = kRowPitch) { return kFirstRowTop + row * pitch; }
constexpr Twips captionCell(int top) { return {240, top, 1035, kRowHeight}; }
constexpr Twips fieldCell(int top) { return {1380, top, 2295, kRowHeight}; }

// The Connection frame's rows: a right-aligned label and a list.
struct ListRow {
    QLabel* MainForm::*label;
    PickList* MainForm::*list;
    const char* labelName;
    const char* listName;
    const char* caption;
};

// The rows of slider and number box (see SettingPair::Definition), each
// frame's rows in the order they stand in it.
using Rule = SettingPair::Rule;
struct PairRow {
    QGroupBox* MainForm::*frame;
    SettingPair* MainForm::*member;
    const char* name;
    const char* caption;
    qint32 Profile::*field;
    int minimum, maximum, largeStep, initial;
    Rule rule = Rule::Common;
    const char* labelName = nullptr;
};

// The mapping rows, in the order of Mapping: the first kMovementMappingCount
// in the Mappings frame, the global keys in the Global Keys frame.
struct MappingRow {
    const char* name; // TurnLeftKey -> TurnLeftKey_Check, TurnLeftKey_RichText
    const char* caption;
};
constexpr MappingRow kMappingRows[kMappingCount] = {
    {"TurnLeftKey", QT_TRANSLATE_NOOP("corvane::MainForm", "&Turn Left")},
    {"TurnRightKey", QT_TRANSLATE_NOOP("corvane::MainForm", "Turn R&ight")},
    {"LookUpKey", QT_TRANSLATE_NOOP("corvane::MainForm", "L&ook Up")},
    {"LookDownKey", QT_TRANSLATE_NOOP("corvane::MainForm", "LookDo&wn")},
    {"LeanLeftKey", QT_TRANSLATE_NOOP("corvane::MainForm", "&Lean Left")},
    {"LeanRightKey", QT_TRANSLATE_NOOP("corvane::MainForm", "L&ean Right")},
    {"StartKey", QT_TRANSLATE_NOOP("corvane::MainForm", "S&tart")},
    {"StopKey", QT_TRANSLATE_NOOP("corvane::MainForm", "St&op")},
};

// The Output Monitor: a captioned read-only box for each axis, side by side,
// and the keys sent in a row below them.
struct MonitorColumn {
    QLineEdit* MainForm::*box;
    const char* name; // LRMon -> LRMon_Label, LRMon_Text
    const char* caption;
    int left;
};
constexpr int kMonitorWidth = 1095;
constexpr int kMonitorCaptionTop = 270;
constexpr int kMonitorCaptionHeight = 285;
constexpr int kMonitorBoxTop = 570;
constexpr Twips kKeyMonitor{180, 1020, 3495, 315};

// The window's push buttons.
struct Command {
    QPushButton* MainForm::*member;
    const char* name;
    const char* caption;
    Twips at;
};

QPushButton* makeCommand(MainForm& form, const Command& command)
{
    auto* button = new QPushButton(MainForm::tr(command.caption), &form);
    form.*command.member = button;
    return placedIn(button, QString::fromLatin1(command.name), command.at, form);
}

} // namespace

// The tables that name the window's controls, inside the window so that
// they may name its private members.
struct MainForm::Layout {
    // The captioned frames.
    static constexpr GroupFrame kConnectionFrame{&MainForm::Connection_Frame, "Connection_Frame",
                                                 QT_TRANSLATE_NOOP("corvane::MainForm", "Connection"), 1890, 1515};
    static constexpr GroupFrame kFiltersFrame{&MainForm::Filters_Frame, "Filters_Frame",
                                              QT_TRANSLATE_NOOP("corvane::MainForm", "Filters"), 3420, 1515};
    static constexpr GroupFrame kSmoothingFrame{&MainForm::Smoothing_Frame, "Smoothing_Frame",
                                                QT_TRANSLATE_NOOP("corvane::MainForm", "Smoothing"), 1890, 1515};
    static constexpr GroupFrame kSpeedFrame{&MainForm::Speed_Frame, "Speed_Frame",
                                            QT_TRANSLATE_NOOP("corvane::MainForm", "Speed"), 3420, 1515};
    static constexpr GroupFrame kMappingsFrame{&MainForm::Mappings_Frame, "Mappings_Frame",
                                               QT_TRANSLATE_NOOP("corvane::MainForm", "Mappings"), 1890, 3045};
    static constexpr GroupFrame kGlobalKeysFrame{&MainForm::StartStop_Frame, "StartStop_Frame",
                                                 QT_TRANSLATE_NOOP("corvane::MainForm", "Global Keys"), 1410, 1155};
    static constexpr GroupFrame kDelayFrame{&MainForm::DelayMillisecs_Frame, "DelayMillisecs_Frame",
                                            QT_TRANSLATE_NOOP("corvane::MainForm", "Update Delay"), 2580, 795};
    static constexpr GroupFrame kMonitorFrame{&MainForm::Monitor_Frame, "Monitor_Frame",
                                              QT_TRANSLATE_NOOP("corvane::MainForm", "Output Monitor"), 3390, 1545};
    // The Connection frame's rows.
    static constexpr ListRow kConnectionRows[] = {
        {&MainForm::LocationLabel, &MainForm::Location_Combo, "LocationLabel", "Location_Combo",
         QT_TRANSLATE_NOOP("corvane::MainForm", "&Location")},
        {&MainForm::Speed_Label, &MainForm::Speed_Combo, "Speed_Label", "Speed_Combo",
         QT_TRANSLATE_NOOP("corvane::MainForm", "S&peed")},
        {&MainForm::Mode_Label, &MainForm::Mode_Combo, "Mode_Label", "Mode_Combo",
         QT_TRANSLATE_NOOP("corvane::MainForm", "&Mode")},
    };
    // The setting rows, each frame's in the order they stand in it.
    static constexpr PairRow kPairRows[] = {
        {&MainForm::Filters_Frame, &MainForm::Magnetic, "Magnetic", QT_TRANSLATE_NOOP("corvane::MainForm", "Magn&etic"),
         &Profile::magnetic, 0, 7, 1, 2},
        {&MainForm::Filters_Frame, &MainForm::Jitter, "Jitter", QT_TRANSLATE_NOOP("corvane::MainForm", "&Jitter"),
         &Profile::jitter, 0, 7, 1, 3},
        {&MainForm::Filters_Frame, &MainForm::Tilt, "Tilt", QT_TRANSLATE_NOOP("corvane::MainForm", "&Tilt"),
         &Profile::tilt, 0, 7, 1, 4},
        {&MainForm::Smoothing_Frame, &MainForm::LeftRightSmooth, "LeftRightSmooth",
         QT_TRANSLATE_NOOP("corvane::MainForm", "&Left-Right"), &Profile::leftRightSmooth, 0, 40, 5, 18},
        {&MainForm::Smoothing_Frame, &MainForm::UpDownSmooth, "UpDownSmooth",
         QT_TRANSLATE_NOOP("corvane::MainForm", "U&p-Down"), &Profile::upDownSmooth, 0, 40, 5, 10},
        {&MainForm::Smoothing_Frame, &MainForm::SideSideSmooth, "SideSideSmooth",
         QT_TRANSLATE_NOOP("corvane::MainForm", "S&ide-Side"), &Profile::sideSideSmooth, 0, 40, 5, 10},
        {&MainForm::Speed_Frame, &MainForm::LeftRightSpeed, "LeftRightSpeed",
         QT_TRANSLATE_NOOP("corvane::MainForm", "Lef&t-Right"), &Profile::leftRightSpeed, 0, 40, 10, 6, Rule::Speed},
        {&MainForm::Speed_Frame, &MainForm::UpDownSpeed, "UpDownSpeed",
         QT_TRANSLATE_NOOP("corvane::MainForm", "Up-D&own"), &Profile::upDownSpeed, 0, 40, 10, 5, Rule::Speed},
        {&MainForm::Speed_Frame, &MainForm::SideSideSpeed, "SideSideSpeed",
         QT_TRANSLATE_NOOP("corvane::MainForm", "Sid&e-Side"), &Profile::sideSideSpeed, 0, 40, 10, 5, Rule::Speed},
        {&MainForm::DelayMillisecs_Frame, &MainForm::DelayMillisecs, "DelayMillisecs",
         QT_TRANSLATE_NOOP("corvane::MainForm", "&Milleseconds"), &Profile::delayMillisecs, 10, 100, 10, 20,
         Rule::Common, "Millesecs_Label"},
    };
    // The Output Monitor's axes, left to right.
    static constexpr MonitorColumn kMonitorColumns[] = {
        {&MainForm::LRMon_Text, "LRMon", QT_TRANSLATE_NOOP("corvane::MainForm", "TL / TR"), 180},
        {&MainForm::UDMon_Text, "UDMon", QT_TRANSLATE_NOOP("corvane::MainForm", "LU / LD"), 1380},
        {&MainForm::SSMon_Text, "SSMon", QT_TRANSLATE_NOOP("corvane::MainForm", "LL / LR"), 2580},
    };
    // The push buttons: Start, Show Settings and Help on top; the profile
    // buttons in the panel's area, so seen only while it is shown; the home
    // page button; and Dummy, outside the window, which takes the keyboard
    // focus when another control must lose it.
    static constexpr Command kTopCommands[] = {
        {&MainForm::Start_Command, "Start_Command", kStartCaption, {120, 510, 1335, 315}},
        {&MainForm::ShowSettings_Command,
         "ShowSettings_Command",
         QT_TRANSLATE_NOOP("corvane::MainForm", "Show Setti&ngs"),
         {1500, 510, 1335, 315}},
        {&MainForm::Help_Command,
         "Help_Command",
         QT_TRANSLATE_NOOP("corvane::MainForm", "&Help"),
         {2880, 510, 1335, 315}},
    };
    static constexpr Command kProfileCommands[] = {
        {&MainForm::Cancel_Command,
         "Cancel_Command",
         QT_TRANSLATE_NOOP("corvane::MainForm", "&Cancel"),
         {240, 5040, 915, 315}},
        {&MainForm::Save_Command,
         "Save_Command",
         QT_TRANSLATE_NOOP("corvane::MainForm", "S&ave"),
         {1220, 5040, 915, 315}},
        {&MainForm::SaveAs_Command,
         "SaveAs_Command",
         QT_TRANSLATE_NOOP("corvane::MainForm", "Sa&ve As"),
         {2200, 5040, 915, 315}},
        {&MainForm::Delete_Command,
         "Delete_Command",
         QT_TRANSLATE_NOOP("corvane::MainForm", "&Delete"),
         {3180, 5040, 915, 315}},
    };
    static constexpr Command kHomePageCommand{&MainForm::TollanHome_Command,
                                              "TollanHome_Command",
                                              QT_TRANSLATE_NOOP("corvane::MainForm", "Tollan Home Pa&ge"),
                                              {120, 945, 4095, 465}};
    static constexpr Command kDummyCommand{&MainForm::Dummy_Command, "Dummy_Command", "Dummy", {13920, 510, 1335, 315}};

    // Makes the frame's setting rows, top to bottom.
    static void makePairs(MainForm& form, AppContext& app, QGroupBox* frame)
    {
        int row = 0;
        for (const PairRow& r : kPairRows) {
            if (form.*r.frame != frame)
                continue;
            const SettingPair::Definition definition{QString::fromLatin1(r.name),
                                                     MainForm::tr(r.caption),
                                                     r.field,
                                                     r.minimum,
                                                     r.maximum,
                                                     r.largeStep,
                                                     r.initial,
                                                     r.rule,
                                                     r.labelName ? QString::fromLatin1(r.labelName) : QString()};
            form.*r.member = new SettingPair(app, definition, frame, rowTop(row++));
        }
    }
};

QWidget* MainForm::placed(QWidget* w, const QString& name, int left, int top, int width, int height)
{
    return placedIn(w, name, {left, top, width, height}, *this);
}

PickList* MainForm::modeFrameList(QFrame*& frame, QLabel*& label, const QString& prefix, int top)
{
    frame = new QFrame(this);
    placed(frame, prefix + QStringLiteral("_Frame"), kFrameLeft, top, kFrameWidth, 495);
    label = new QLabel(tr("&Mode"), frame);
    placed(label, prefix + QStringLiteral("_Label"), 60, 120, 1215, 315);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* list = new PickList(frame);
    placed(list, prefix + QStringLiteral("_Combo"), 1380, 120, 2295, 315);
    return list;
}

void MainForm::build()
{
    setObjectName(QStringLiteral("Corvane_MainForm"));
    setWindowTitle(tr("Tollan Corvane"));
    QFont base = font();
    base.setPointSize(8);
    setFont(base);

    // The keyboard's Tab follows the layout, top to bottom and left to right,
    // which is the order the controls are made in.
    buildTopStrip();
    buildTrackerTab();
    buildMouseTab();
    buildKeyboardTab();
    buildOtherTab();
    buildLowerCommands();

    // The group frames are drawn over the tab strip.
    for (QWidget* frame : groupFrames())
        frame->raise();
    for (const Command& command : Layout::kProfileCommands)
        (this->*command.member)->raise();

    // How each control takes the focus while it can be seen.
    nameControls();
    for (QWidget* w : findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            focusPolicies_.insert(w, w->focusPolicy());
}

void MainForm::buildTopStrip()
{
    Profile_Label = new QLabel(tr("Pro&file"), this);
    placed(Profile_Label, QStringLiteral("Profile_Label"), 180, 120, 675, 315);
    Profile_Combo = new PickList(this, /*sorted=*/true);
    placed(Profile_Combo, QStringLiteral("Profile_Combo"), 960, 90, 3255, 315);
    for (const Command& command : Layout::kTopCommands)
        makeCommand(*this, command);

    // The settings panel: the tab strip in a borderless container; the group
    // frames are the window's own children drawn over it.
    TabStrip_Frame = new QFrame(this);
    placed(TabStrip_Frame, QStringLiteral("TabStrip_Frame"), 60, 870, 4275, 4695);
    TabStrip = new QTabWidget(TabStrip_Frame);
    placed(TabStrip, QStringLiteral("TabStrip"), 60, 90, 4095, 4545);
    for (const char* caption : kTabCaptions)
        TabStrip->addTab(new QWidget(TabStrip), tr(caption));
}

void MainForm::buildTrackerTab()
{
    Model_Combo = modeFrameList(Model_Frame, Model_Label, QStringLiteral("Model"), kModeFrameTop);
    Model_Label->setText(tr("M&odel"));

    QGroupBox* connection = makeFrame(*this, Layout::kConnectionFrame);
    for (int row = 0; row < std::ssize(Layout::kConnectionRows); ++row) {
        const ListRow& r = Layout::kConnectionRows[row];
        auto* label = new QLabel(tr(r.caption), connection);
        placedIn(label, QString::fromLatin1(r.labelName), captionCell(rowTop(row)), *connection);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        this->*r.label = label;
        this->*r.list = placedIn(new PickList(connection), QString::fromLatin1(r.listName), fieldCell(rowTop(row)),
                                 *connection);
    }

    Layout::makePairs(*this, app_, makeFrame(*this, Layout::kFiltersFrame));
}

void MainForm::buildMouseTab()
{
    MouseMode_Combo = modeFrameList(MouseMode_Frame, MouseMode_Label, QStringLiteral("MouseMode"), kModeFrameTop);
    Layout::makePairs(*this, app_, makeFrame(*this, Layout::kSmoothingFrame));
    Layout::makePairs(*this, app_, makeFrame(*this, Layout::kSpeedFrame));
}

void MainForm::buildKeyboardTab()
{
    KeyMode_Combo = modeFrameList(KeyMode_Frame, KeyMode_Label, QStringLiteral("KeyMode"), kModeFrameTop);
    makeFrame(*this, Layout::kMappingsFrame);
    // The Other tab's Global Keys frame, made here so that all mapping rows
    // are made together, in the order of Mapping.
    makeFrame(*this, Layout::kGlobalKeysFrame);
    for (int i = 0; i < kMappingCount; ++i)
        buildMappingRow(static_cast<Mapping>(i));
}

void MainForm::buildMappingRow(Mapping mapping)
{
    const int i = static_cast<int>(mapping);
    const bool movement = i < kMovementMappingCount;
    QGroupBox* frame = movement ? Mappings_Frame : StartStop_Frame;
    const int top = movement ? rowTop(i, kMappingRowPitch) : rowTop(i - kMovementMappingCount);
    const QString name = QString::fromLatin1(kMappingRows[i].name);
    auto* check = new MappingButton(tr(kMappingRows[i].caption), frame);
    placedIn(check, name + QStringLiteral("_Check"), captionCell(top), *frame);
    auto* box = placedIn(new KeyBox(frame), name + QStringLiteral("_RichText"), fieldCell(top), *frame);
    keyChecks[i] = check;
    keyBoxes[i] = box;
    // A value set by the program runs the click handler too, as a click does.
    connect(check, &QPushButton::toggled, this, [this, mapping] { MappingCheck_Click(mapping); });
    check->lostFocus = [this, mapping] { MappingCheck_LostFocus(mapping); };
    connect(box, &QTextEdit::textChanged, this, [this, mapping] { MappingBox_Change(mapping); });
}

void MainForm::buildOtherTab()
{
    Layout::makePairs(*this, app_, makeFrame(*this, Layout::kDelayFrame));

    QGroupBox* monitor = makeFrame(*this, Layout::kMonitorFrame);
    for (const MonitorColumn& column : Layout::kMonitorColumns) {
        const QString name = QString::fromLatin1(column.name);
        auto* caption = new QLabel(tr(column.caption), monitor);
        placedIn(caption, name + QStringLiteral("_Label"),
                 {column.left, kMonitorCaptionTop, kMonitorWidth, kMonitorCaptionHeight}, *monitor);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        auto* box = new QLineEdit(QStringLiteral("0"), monitor);
        placedIn(box, name + QStringLiteral("_Text"), {column.left, kMonitorBoxTop, kMonitorWidth, kRowHeight},
                 *monitor);
        box->setReadOnly(true);
        box->setAlignment(Qt::AlignHCenter);
        this->*column.box = box;
    }
    KeyMon_Text = placedIn(new QLineEdit(monitor), QStringLiteral("KeyMon_Text"), kKeyMonitor, *monitor);
    KeyMon_Text->setReadOnly(true);
}

void MainForm::buildLowerCommands()
{
    for (const Command& command : Layout::kProfileCommands)
        makeCommand(*this, command);

    QFont large = font();
    large.setPointSize(11);
    large.setBold(true);
    makeCommand(*this, Layout::kHomePageCommand)->setFont(large);

    makeCommand(*this, Layout::kDummyCommand);

    Status_Line = new StatusStrip(this);
    Status_Line->setObjectName(QStringLiteral("Status_Line"));
    placeStatusLine();
}

void MainForm::placeStatusLine()
{
    // Across the width of the home page button, on the window's bottom edge:
    // the window is taller by the line's height than its outer size says.
    const int height = twipsY(kStatusLineHeight, *this);
    Status_Line->setGeometry(twipsX(120, *this), this->height() - height, twipsX(4095, *this), height);
}

void MainForm::reachOnlyWhatIsSeen()
{
    // Controls outside the window's visible part (the profile buttons while
    // the settings are hidden, the Dummy button always) take no focus from the
    // keyboard or the mouse; the program can still give it to them.
    for (auto it = focusPolicies_.cbegin(); it != focusPolicies_.cend(); ++it) {
        const QRect at(it.key()->mapTo(this, QPoint(0, 0)), it.key()->size());
        it.key()->setFocusPolicy(rect().intersects(at) ? it.value() : Qt::NoFocus);
    }
}

void MainForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeStatusLine();
    reachOnlyWhatIsSeen();
}

std::array<QWidget*, 11> MainForm::groupFrames() const
{
    return {Model_Frame,   Connection_Frame, Filters_Frame,   MouseMode_Frame,      Smoothing_Frame, Speed_Frame,
            KeyMode_Frame, Mappings_Frame,   StartStop_Frame, DelayMillisecs_Frame, Monitor_Frame};
}

} // namespace corvane
