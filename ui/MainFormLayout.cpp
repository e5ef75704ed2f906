// The main window's controls, made and placed in twips as the window shows
// them, and the window's outer size kept exact under the frame that the window
// system tells of.
#include "ui/MainForm.h"

#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>

namespace corvane {

namespace {

struct MappingRow {
    const char* name;     // TurnLeftKey -> TurnLeftKey_Check, TurnLeftKey_RichText
    const char* caption;
};

// What the border and title bar add to the shown window's inside, as the
// window system tells them at the moment. QWidget::frameGeometry() keeps the
// frame of the last move or resize, and on Wayland the title bar that Qt draws
// itself comes after the first showing with neither, to a window of fixed size.
QSize frameExtra(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    if (!handle)
        return {0, 0};
    const QMargins margins = handle->frameMargins();
    return {margins.left() + margins.right(), margins.top() + margins.bottom()};
}

constexpr MappingRow kMappingRows[kMappingCount] = {
    {"TurnLeftKey", "Turn Left"}, {"TurnRightKey", "Turn Right"}, {"LookUpKey", "Look Up"},
    {"LookDownKey", "LookDown"},  {"LeanLeftKey", "Lean Left"},   {"LeanRightKey", "Lean Right"},
    {"StartKey", "Start"},        {"StopKey", "Stop"},
};

} // namespace

QWidget* MainForm::placed(QWidget* w, const QString& name, int left, int top, int width, int height)
{
    w->setObjectName(name);
    w->setGeometry(twipsRect(left, top, width, height, *this));
    return w;
}

PickList* MainForm::modeFrameList(QFrame*& frame, QLabel*& label, const QString& prefix, int top)
{
    frame = new QFrame(this);
    placed(frame, prefix + QStringLiteral("_Frame"), 240, top, 3855, 495);
    label = new QLabel(QStringLiteral("Mode"), frame);
    placed(label, prefix + QStringLiteral("_Label"), 60, 120, 1215, 315);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* list = new PickList(frame);
    placed(list, prefix + QStringLiteral("_Combo"), 1380, 120, 2295, 315);
    return list;
}

void MainForm::build()
{
    setObjectName(QStringLiteral("Corvane_MainForm"));
    setWindowTitle(QStringLiteral("Tollan Corvane"));
    QFont base = font();
    base.setPointSize(8);
    setFont(base);

    // Top strip.
    Profile_Label = new QLabel(QStringLiteral("Profile"), this);
    placed(Profile_Label, QStringLiteral("Profile_Label"), 180, 120, 675, 315);
    Profile_Combo = new PickList(this, /*sorted=*/true);
    placed(Profile_Combo, QStringLiteral("Profile_Combo"), 960, 90, 3255, 315);
    Start_Command = new QPushButton(QStringLiteral("Start"), this);
    placed(Start_Command, QStringLiteral("Start_Command"), 120, 510, 1335, 315);
    ShowSettings_Command = new QPushButton(QStringLiteral("Show Settings"), this);
    placed(ShowSettings_Command, QStringLiteral("ShowSettings_Command"), 1500, 510, 1335, 315);
    Help_Command = new QPushButton(QStringLiteral("Help"), this);
    placed(Help_Command, QStringLiteral("Help_Command"), 2880, 510, 1335, 315);

    // The settings panel: the tab strip in a borderless container; the group
    // frames are the window's own children drawn over it.
    TabStrip_Frame = new QFrame(this);
    placed(TabStrip_Frame, QStringLiteral("TabStrip_Frame"), 60, 870, 4275, 4695);
    TabStrip = new QTabWidget(TabStrip_Frame);
    placed(TabStrip, QStringLiteral("TabStrip"), 60, 90, 4095, 4545);
    for (const char* caption : {"Tracker", "Mouse", "Keyboard", "Other"})
        TabStrip->addTab(new QWidget(TabStrip), QString::fromLatin1(caption));

    // Tracker tab.
    Model_Combo = modeFrameList(Model_Frame, Model_Label, QStringLiteral("Model"), 1410);
    Model_Label->setText(QStringLiteral("Model"));

    Connection_Frame = new QGroupBox(QStringLiteral("Connection"), this);
    placed(Connection_Frame, QStringLiteral("Connection_Frame"), 240, 1890, 3855, 1515);
    auto rowLabel = [](QWidget* frame, const QString& name, const QString& caption, int top) {
        auto* l = new QLabel(caption, frame);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(twipsRect(240, top, 1035, 315, *frame));
        return l;
    };
    auto rowList = [](QWidget* frame, const QString& name, int top) {
        auto* list = new PickList(frame);
        list->setObjectName(name);
        list->setGeometry(twipsRect(1380, top, 2295, 315, *frame));
        return list;
    };
    LocationLabel = rowLabel(Connection_Frame, QStringLiteral("LocationLabel"), QStringLiteral("Location"), 300);
    Location_Combo = rowList(Connection_Frame, QStringLiteral("Location_Combo"), 300);
    Speed_Label = rowLabel(Connection_Frame, QStringLiteral("Speed_Label"), QStringLiteral("Speed"), 660);
    Speed_Combo = rowList(Connection_Frame, QStringLiteral("Speed_Combo"), 660);
    Mode_Label = rowLabel(Connection_Frame, QStringLiteral("Mode_Label"), QStringLiteral("Mode"), 1020);
    Mode_Combo = rowList(Connection_Frame, QStringLiteral("Mode_Combo"), 1020);

    using R = SettingPair::Rule;
    Filters_Frame = new QGroupBox(QStringLiteral("Filters"), this);
    placed(Filters_Frame, QStringLiteral("Filters_Frame"), 240, 3420, 3855, 1515);
    Magnetic = new SettingPair(app_, {QStringLiteral("Magnetic"), QStringLiteral("Magnetic"), &Profile::magnetic, 0, 7, 1, 2, R::Common}, Filters_Frame, 300);
    Jitter = new SettingPair(app_, {QStringLiteral("Jitter"), QStringLiteral("Jitter"), &Profile::jitter, 0, 7, 1, 3, R::Common}, Filters_Frame, 660);
    Tilt = new SettingPair(app_, {QStringLiteral("Tilt"), QStringLiteral("Tilt"), &Profile::tilt, 0, 7, 1, 4, R::Common}, Filters_Frame, 1020);

    // Mouse tab.
    MouseMode_Combo = modeFrameList(MouseMode_Frame, MouseMode_Label, QStringLiteral("MouseMode"), 1410);
    Smoothing_Frame = new QGroupBox(QStringLiteral("Smoothing"), this);
    placed(Smoothing_Frame, QStringLiteral("Smoothing_Frame"), 240, 1890, 3855, 1515);
    LeftRightSmooth = new SettingPair(app_, {QStringLiteral("LeftRightSmooth"), QStringLiteral("Left-Right"), &Profile::leftRightSmooth, 0, 40, 5, 18, R::Common}, Smoothing_Frame, 300);
    UpDownSmooth = new SettingPair(app_, {QStringLiteral("UpDownSmooth"), QStringLiteral("Up-Down"), &Profile::upDownSmooth, 0, 40, 5, 10, R::Common}, Smoothing_Frame, 660);
    SideSideSmooth = new SettingPair(app_, {QStringLiteral("SideSideSmooth"), QStringLiteral("Side-Side"), &Profile::sideSideSmooth, 0, 40, 5, 10, R::Common}, Smoothing_Frame, 1020);
    Speed_Frame = new QGroupBox(QStringLiteral("Speed"), this);
    placed(Speed_Frame, QStringLiteral("Speed_Frame"), 240, 3420, 3855, 1515);
    LeftRightSpeed = new SettingPair(app_, {QStringLiteral("LeftRightSpeed"), QStringLiteral("Left-Right"), &Profile::leftRightSpeed, 0, 40, 10, 6, R::Speed}, Speed_Frame, 300);
    UpDownSpeed = new SettingPair(app_, {QStringLiteral("UpDownSpeed"), QStringLiteral("Up-Down"), &Profile::upDownSpeed, 0, 40, 10, 5, R::Speed}, Speed_Frame, 660);
    SideSideSpeed = new SettingPair(app_, {QStringLiteral("SideSideSpeed"), QStringLiteral("Side-Side"), &Profile::sideSideSpeed, 0, 40, 10, 5, R::Speed}, Speed_Frame, 1020);

    // Keyboard tab.
    KeyMode_Combo = modeFrameList(KeyMode_Frame, KeyMode_Label, QStringLiteral("KeyMode"), 1410);
    Mappings_Frame = new QGroupBox(QStringLiteral("Mappings"), this);
    placed(Mappings_Frame, QStringLiteral("Mappings_Frame"), 240, 1890, 3855, 3045);

    // Other tab.
    StartStop_Frame = new QGroupBox(QStringLiteral("Global Keys"), this);
    placed(StartStop_Frame, QStringLiteral("StartStop_Frame"), 240, 1410, 3855, 1155);
    for (int i = 0; i < kMappingCount; ++i) {
        const bool global = i >= static_cast<int>(Mapping::Start);
        QWidget* frame = global ? static_cast<QWidget*>(StartStop_Frame) : Mappings_Frame;
        const int top = global ? 300 + (i - 6) * 360 : 300 + i * 450;
        const QString name = QString::fromLatin1(kMappingRows[i].name);
        auto* check = new MappingButton(QString::fromLatin1(kMappingRows[i].caption), frame);
        check->setObjectName(name + QStringLiteral("_Check"));
        check->setGeometry(twipsRect(240, top, 1035, 315, *frame));
        auto* box = new KeyBox(frame);
        box->setObjectName(name + QStringLiteral("_RichText"));
        box->setGeometry(twipsRect(1380, top, 2295, 315, *frame));
        keyChecks[i] = check;
        keyBoxes[i] = box;
        const auto mapping = static_cast<Mapping>(i);
        // A value set by the program runs the click handler too, as a click does.
        connect(check, &QPushButton::toggled, this, [this, mapping] { MappingCheck_Click(mapping); });
        check->lostFocus = [this, mapping] { MappingCheck_LostFocus(mapping); };
        connect(box, &QTextEdit::textChanged, this, [this, mapping] { MappingBox_Change(mapping); });
    }

    DelayMillisecs_Frame = new QGroupBox(QStringLiteral("Update Delay"), this);
    placed(DelayMillisecs_Frame, QStringLiteral("DelayMillisecs_Frame"), 240, 2580, 3855, 795);
    DelayMillisecs = new SettingPair(app_, {QStringLiteral("DelayMillisecs"), QStringLiteral("Milleseconds"), &Profile::delayMillisecs, 10, 100, 10, 20, R::Common, QStringLiteral("Millesecs_Label")}, DelayMillisecs_Frame, 300);

    Monitor_Frame = new QGroupBox(QStringLiteral("Output Monitor"), this);
    placed(Monitor_Frame, QStringLiteral("Monitor_Frame"), 240, 3390, 3855, 1545);
    const struct {
        const char* caption;
        const char* name;
        int left;
    } monitors[] = {{"TL / TR", "LRMon", 180}, {"LU / LD", "UDMon", 1380}, {"LL / LR", "SSMon", 2580}};
    QLineEdit* monitorBoxes[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QString name = QString::fromLatin1(monitors[i].name);
        auto* caption = new QLabel(QString::fromLatin1(monitors[i].caption), Monitor_Frame);
        caption->setObjectName(name + QStringLiteral("_Label"));
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        caption->setGeometry(twipsRect(monitors[i].left, 270, 1095, 285, *Monitor_Frame));
        auto* box = new QLineEdit(QStringLiteral("0"), Monitor_Frame);
        box->setObjectName(name + QStringLiteral("_Text"));
        box->setReadOnly(true);
        box->setAlignment(Qt::AlignHCenter);
        box->setGeometry(twipsRect(monitors[i].left, 570, 1095, 315, *Monitor_Frame));
        monitorBoxes[i] = box;
    }
    LRMon_Text = monitorBoxes[0];
    UDMon_Text = monitorBoxes[1];
    SSMon_Text = monitorBoxes[2];
    KeyMon_Text = new QLineEdit(Monitor_Frame);
    KeyMon_Text->setObjectName(QStringLiteral("KeyMon_Text"));
    KeyMon_Text->setReadOnly(true);
    KeyMon_Text->setGeometry(twipsRect(180, 1020, 3495, 315, *Monitor_Frame));

    // Profile buttons: in the panel's area, so seen only while it is shown.
    const struct {
        QPushButton** button;
        const char* caption;
        const char* name;
        int left;
    } profileButtons[] = {{&Cancel_Command, "Cancel", "Cancel_Command", 240},
                          {&Save_Command, "Save", "Save_Command", 1220},
                          {&SaveAs_Command, "Save As", "SaveAs_Command", 2200},
                          {&Delete_Command, "Delete", "Delete_Command", 3180}};
    for (const auto& b : profileButtons) {
        *b.button = new QPushButton(QString::fromLatin1(b.caption), this);
        placed(*b.button, QString::fromLatin1(b.name), b.left, 5040, 915, 315);
    }

    TollanHome_Command = new QPushButton(QStringLiteral("Tollan Home Page"), this);
    QFont large = font();
    large.setPointSize(11);
    large.setBold(true);
    TollanHome_Command->setFont(large);
    placed(TollanHome_Command, QStringLiteral("TollanHome_Command"), 120, 945, 4095, 465);

    // Outside the window: takes the keyboard focus when another control must lose it.
    Dummy_Command = new QPushButton(QStringLiteral("Dummy"), this);
    placed(Dummy_Command, QStringLiteral("Dummy_Command"), 13920, 510, 1335, 315);

    // The group frames are drawn over the tab strip.
    for (QWidget* frame : groupFrames())
        frame->raise();
    for (QPushButton* b : {Cancel_Command, Save_Command, SaveAs_Command, Delete_Command})
        b->raise();

    // The keyboard's Tab follows the layout, top to bottom and left to right,
    // which is the order the controls are made in.
    for (QWidget* w : findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            focusPolicies_.insert(w, w->focusPolicy());
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
    reachOnlyWhatIsSeen();
}

std::array<QWidget*, 11> MainForm::groupFrames() const
{
    return {Model_Frame,    Connection_Frame, Filters_Frame,   MouseMode_Frame,      Smoothing_Frame, Speed_Frame,
            KeyMode_Frame, Mappings_Frame,   StartStop_Frame, DelayMillisecs_Frame, Monitor_Frame};
}

void MainForm::setOuterSizeTwips(int width, int height)
{
    outerWidthTwips_ = width;
    outerHeightTwips_ = height;
    fitToOuterSize();
}

void MainForm::fitToOuterSize()
{
    // The border and title bar, when the window system tells their size, are
    // part of the outer size. They are known only once the shown window is
    // framed, which on X11 moves it and on Wayland repaints it: so the inside
    // is fitted again then. A frame that a Wayland compositor draws stays
    // unknown, and the inside takes the whole outer size, as on an X server
    // without a window manager.
    fittedFrame_ = isVisible() ? frameExtra(*this) : QSize(0, 0);
    const QSize inside(twipsX(outerWidthTwips_, *this) - fittedFrame_.width(),
                       twipsY(outerHeightTwips_, *this) - fittedFrame_.height());
    if (inside != minimumSize() || inside != maximumSize())
        setFixedSize(inside);
}

void MainForm::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    fitToOuterSize();
}

void MainForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // Qt's own title bar on Wayland comes with a repainting, not a move; the
    // size changes after the painting.
    if (isVisible() && frameExtra(*this) != fittedFrame_)
        QMetaObject::invokeMethod(this, &MainForm::fitToOuterSize, Qt::QueuedConnection);
}

QSize MainForm::outerSizeTwips() const { return {outerWidthTwips_, outerHeightTwips_}; }

void MainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    fitToOuterSize();
}

} // namespace corvane
