#pragma once
// The main window "Tollan Corvane": the profile list, Start, Show Settings and
// Help on top, the tabbed settings panel below (shown or hidden), and the home
// page button at the bottom edge.
#include "engine/AppContext.h"
#include "engine/WindowView.h"

#include <QHash>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace corvane {

class HelpForm;
class KeyBox;
class MappingButton;
class PickList;
class ProfileCommands;
class SettingPair;
class StatusDetails;
class StatusStrip;
class TrayIcon;

// The maker's home page, opened by the "Tollan Home Page" button.
inline const QString kHomePageUrl = QStringLiteral("https://www.tollan.example/corvane/");
// The status line's height in twips (two lines of text): the window is this
// much taller than its outer sizes, 2010 and 6675 twips, say.
inline constexpr int kStatusLineHeight = 510;
// Start's captions: the tracker is stopped, or started (translated where shown).
inline constexpr char kStartCaption[] = QT_TRANSLATE_NOOP("corvane::MainForm", "&Start");
inline constexpr char kStopCaption[] = QT_TRANSLATE_NOOP("corvane::MainForm", "&Stop");
// The settings' tabs, left to right: Tracker, Mouse, Keyboard, Other.
inline constexpr const char* kTabCaptions[] = {
    QT_TRANSLATE_NOOP("corvane::MainForm", "Trac&ker"), QT_TRANSLATE_NOOP("corvane::MainForm", "Mo&use"),
    QT_TRANSLATE_NOOP("corvane::MainForm", "Ke&yboard"), QT_TRANSLATE_NOOP("corvane::MainForm", "Othe&r")};

class MainForm : public QWidget, public WindowView {
    Q_OBJECT
public:
    // `handlers` are what Start and closing the window run.
    explicit MainForm(AppContext& app, EngineHandlers handlers = {});
    ~MainForm() override;

    // What the logic reads and writes of the window (see the view interfaces).
    QString profileName() const override;
    void setProfileName(const QString& name) override;
    QStringList profileNames() const override;
    void addProfileName(const QString& name) override;
    void clearProfileNames() override;
    void showProfile(const Profile& profile) override;
    bool trackingStarted() const override;
    void setTrackingStarted(bool started) override;
    QString keyMode() const override;
    bool recording() const override { return recording_; }
    std::optional<int> pressedInMapping() const override;
    void appendKeyLabel(int mapping, const QString& label, LabelColour colour) override;
    void showKeys(const QString& text) override;
    SetupTexts setupTexts() const override;
    void setMode(const QString& mode) override;
    QString location() const override;
    void setLocation(const QString& location) override;
    QString speed() const override;
    void setSpeed(const QString& speed) override;
    int jitterSetting() const override;
    void showMonitor(const MovementValues& values) override;
    void showStatus(const Status& status) override;
    ProfileCommands& commands() override { return *commands_; }
    // Shows the window, or with --minimized keeps it in the tray (minimised
    // where there is no tray); the tray icon comes with it.
    void showWindow() override;
    bool inBackground() const override;
    QWidget* widget() override { return this; }
    void hideHelp() override;

    // The help window, made the first time it is asked for: it stays hidden
    // until Help is clicked, and its text costs a start-up nothing until then.
    HelpForm& help();
    bool settingsShown() const { return SettingsShown; }
    // The eleven group frames, in the order the window hides them.
    std::array<QWidget*, 11> groupFrames() const;

    // Handlers.
    void Form_Load() override;
    void ShowSettings_Command_Click();
    void TabStrip_Click();
    void Help_Command_Click();
    void TollanHome_Command_Click();
    void Mode_Combo_Click();
    void MouseMode_Combo_Click();
    void KeyMode_Combo_Click();
    // The mapping buttons' click and lost-focus handlers and the boxes' edit
    // handler (TurnLeftKey_Check_Click, TurnLeftKey_Check_LostFocus,
    // TurnLeftKey_RichText_Change and their twins), by mapping.
    void MappingCheck_Click(Mapping mapping);
    void MappingCheck_LostFocus(Mapping mapping);
    void MappingBox_Change(Mapping mapping);
    void Location_Combo_Click();
    void Speed_Combo_Click();
    void Status_Line_Click();

    // Started with --minimized: showWindow() keeps the window out of sight.
    void setStartMinimized(bool minimized) { startMinimized_ = minimized; }
    // The tray menu's Show Window and Hide Window.
    void showOrHide();

    // Outer size of the window (title bar and border included), in twips.
    void setOuterSizeTwips(int width, int height);

protected:
    void closeEvent(QCloseEvent* event) override;
    // The port list's tooltip, made when it is about to show.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Minimised with a tray there, the window goes to the tray.
    void changeEvent(QEvent* event) override;

private:
    // The tables of controls the window is built from.
    struct Layout;
    void build();
    // The parts of build(), in the order the controls are made.
    void buildTopStrip();
    void buildTrackerTab();
    void buildMouseTab();
    void buildKeyboardTab();
    void buildMappingRow(Mapping mapping);
    void buildOtherTab();
    void buildLowerCommands();
    void fitToOuterSize();
    void placeStatusLine();
    // Whether a tray is there to take the window when it leaves the screen.
    bool trayTakesWindow() const;
    void reachOnlyWhatIsSeen();
    // Gives each control the name and description a screen reader tells, and
    // each label its buddy (AccessibleNames.cpp).
    void nameControls();
    QWidget* placed(QWidget* w, const QString& name, int left, int top, int width, int height);
    PickList* modeFrameList(QFrame*& frame, QLabel*& label, const QString& prefix, int top);
    bool currentProfileInRange() const;
    // Makes the box show the mapping's sequence, and keeps what it shows.
    void renderMapping(int mapping, const QString& sequence);
    // Enables or disables a mapping's button and box together.
    void enableMapping(int mapping, bool enabled);

    AppContext& app_;
    EngineHandlers handlers_;
    std::unique_ptr<HelpForm> help_;

    // Top strip.
    QLabel* Profile_Label;
    PickList* Profile_Combo;
    QPushButton* Start_Command;
    QPushButton* ShowSettings_Command;
    QPushButton* Help_Command;
    QPushButton* TollanHome_Command;

    // Settings panel.
    QFrame* TabStrip_Frame;
    QTabWidget* TabStrip;

    QFrame* Model_Frame;
    QLabel* Model_Label;
    PickList* Model_Combo;
    QGroupBox* Connection_Frame;
    QLabel* LocationLabel;
    PickList* Location_Combo;
    QLabel* Speed_Label;
    PickList* Speed_Combo;
    QLabel* Mode_Label;
    PickList* Mode_Combo;
    QGroupBox* Filters_Frame;

    QFrame* MouseMode_Frame;
    QLabel* MouseMode_Label;
    PickList* MouseMode_Combo;
    QGroupBox* Smoothing_Frame;
    QGroupBox* Speed_Frame;

    QFrame* KeyMode_Frame;
    QLabel* KeyMode_Label;
    PickList* KeyMode_Combo;
    QGroupBox* Mappings_Frame;

    QGroupBox* StartStop_Frame;
    QGroupBox* DelayMillisecs_Frame;
    QGroupBox* Monitor_Frame;
    QLineEdit* LRMon_Text;
    QLineEdit* UDMon_Text;
    QLineEdit* SSMon_Text;
    QLineEdit* KeyMon_Text;

    // The ten slider and number box pairs.
    SettingPair* Magnetic;
    SettingPair* Jitter;
    SettingPair* Tilt;
    SettingPair* LeftRightSmooth;
    SettingPair* UpDownSmooth;
    SettingPair* SideSideSmooth;
    SettingPair* LeftRightSpeed;
    SettingPair* UpDownSpeed;
    SettingPair* SideSideSpeed;
    SettingPair* DelayMillisecs;

    // The mapping buttons and their key displays, in the order of Mapping.
    std::array<MappingButton*, kMappingCount> keyChecks{};
    std::array<KeyBox*, kMappingCount> keyBoxes{};

    QPushButton* Cancel_Command;
    QPushButton* Save_Command;
    QPushButton* SaveAs_Command;
    QPushButton* Delete_Command;
    QPushButton* Dummy_Command;
    // Below everything else, at the bottom edge: the status line.
    StatusStrip* Status_Line;
    StatusDetails* details_ = nullptr;
    TrayIcon* tray_ = nullptr;
    bool startMinimized_ = false;
    // Whether showWindow() ran: before, the window is not out of sight but not there yet.
    bool windowStarted_ = false;

    bool SettingsShown = false;
    // Whether a mapping records (its button pressed in).
    bool recording_ = false;
    // What each mapping box showed when it was last rendered.
    std::array<QString, kMappingCount> renderedBoxText_;

    std::unique_ptr<ProfileCommands> commands_;
    // How each control takes the focus when it can be seen.
    QHash<QWidget*, Qt::FocusPolicy> focusPolicies_;
    int outerWidthTwips_ = 4425;
    int outerHeightTwips_ = 2010;
    // What the frame added to the inside when it was last fitted.
    QSize fittedFrame_{0, 0};
};

} // namespace corvane
