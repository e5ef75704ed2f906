#pragma once
// The main window as the engine and the tracker link see it. The window
// implements it; the tests use a fake. The state stays where the window keeps
// it, in its controls: these operations read and write them, and a change runs
// the control's own handler, as a click would.
#include "core/Movement.h"
#include "engine/StatusLine.h"
#include "keyboard/KeyboardView.h"
#include "profiles/ProfileView.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace corvane {

struct AppContext;
class ProfileCommands;

// The texts of the controls that the tracker's set-up command is built from.
struct SetupTexts {
    QString mode, magnetic, tilt, jitter;
    friend bool operator==(const SetupTexts&, const SetupTexts&) = default;
};

class WindowView : public ProfileView, public KeyboardView {
public:
    // The window's load handler: fills the lists, hides the settings panel and
    // gives the window its first size.
    virtual void Form_Load() = 0;
    // The profile commands that the window's profile controls run.
    virtual ProfileCommands& commands() = 0;
    // Shows the window; from then on `widget()` is the owner of the boxes.
    virtual void showWindow() = 0;
    virtual QWidget* widget() = 0;
    // Whether the shown window is out of sight: in the tray, or minimised.
    virtual bool inBackground() const = 0;
    virtual void hideHelp() = 0;

    // Start's caption becomes "Stop" (and the focus leaves the button for
    // the Dummy button) or "Start".
    virtual void setTrackingStarted(bool started) = 0;
    virtual SetupTexts setupTexts() const = 0;
    // Selects a tracker mode in the Mode list (its click handler runs).
    virtual void setMode(const QString& mode) = 0;
    // The Location and Speed lists' texts; selecting runs their click handlers.
    virtual QString location() const = 0;
    virtual void setLocation(const QString& location) = 0;
    virtual QString speed() const = 0;
    virtual void setSpeed(const QString& speed) = 0;
    // The Jitter slider's value.
    virtual int jitterSetting() const = 0;
    // The cycle's movement values in the output monitor, while it can be seen.
    virtual void showMonitor(const MovementValues& values) = 0;
    // The status line's new state.
    virtual void showStatus(const Status& status) = 0;
};

// What the window's Start button, its closing and its status line's details
// run: the engine's handlers.
struct EngineHandlers {
    std::function<void()> startClick;
    std::function<void()> unload;
    // The whole diagnosis behind the status line, for its details.
    std::function<QString()> diagnosis;
};

// Builds the main window over the shared state: the program's entry makes the
// real window, the tests may make a fake.
using WindowMaker = std::function<std::unique_ptr<WindowView>(AppContext& app, EngineHandlers handlers)>;

} // namespace corvane
