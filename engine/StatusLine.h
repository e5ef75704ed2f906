#pragma once
// What the status line at the bottom of the main window says: one short
// sentence on where the link to the tracker stands, whether tracking runs and
// through what, or the problem in the way and its fix.
#include "engine/AppContext.h"
#include "engine/TrackerLinkState.h"
#include "platform/InputChoice.h"
#include "profiles/SettingsFolder.h"

#include <QLoggingCategory>
#include <QString>
#include <optional>

namespace corvane {

// Each change of the status line, on standard error; off unless
// QT_LOGGING_RULES switches it on ("corvane.status.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcStatus)

class WindowView;

// The four looks of the status line (and of its icon).
enum class StatusKind { Stopped, Searching, Tracking, Problem };

struct Status {
    StatusKind kind = StatusKind::Searching;
    QString text;
    friend bool operator==(const Status&, const Status&) = default;
};

// What the status line is made from, gathered every cycle: cheap to gather
// and to compare, so the sentence is made only when one of them changes.
struct StatusFacts {
    LinkPhase phase = LinkPhase::Closed;
    int port = 0;         // COM n being used or tried
    QString portSettings; // "19200,n,8,1"
    QString refusal;      // why a port that stands for a device refuses
    QString lost;         // why the tracker's port closed by itself
    bool unanswered = false;
    bool started = false;
    bool recording = false;
    bool joystick = false;   // the mouse mode is "Joystick"
    QString joystickRefusal; // why its device cannot be made
    friend bool operator==(const StatusFacts&, const StatusFacts&) = default;
};

// The sentence for the facts. `device` is the device of the open port, where
// there is one; `input` tells how the pointer and the keys are reached.
Status statusFor(const StatusFacts& facts, const QString& device, const platform::InputChoice& input);

// What the box says once when the joystick cannot be made: why, and the fix.
QString joystickRefusalText(const QString& why, const platform::InputChoice& input);

// Keeps the window's status line up to date with the link and the input.
class StatusReport {
public:
    StatusReport(AppContext& app, WindowView& view);
    // Gathers the facts and, when they changed, shows the new status.
    void update();
    const Status& status() const { return status_; }

private:
    // Tells the desktop what changed, while the window is out of sight: the
    // tracker lost or found again, tracking started or stopped, and once
    // that nothing can move the pointer.
    void notifyChange(const StatusFacts& before, const StatusFacts& now);

    AppContext& app_;
    WindowView& view_;
    std::optional<StatusFacts> facts_;
    Status status_;
    bool nothingMovesNotified_ = false;
};

// The whole diagnosis behind the status line, as the Details show it: the
// status, every port and where the link stands, the settings folder, and how
// the pointer and keys are reached with what fixes what.
QString diagnosis(const AppContext& app, const SettingsFolder& settings, const Status& status);

} // namespace corvane
