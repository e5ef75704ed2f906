#pragma once
// The engine's entry routine: start-up, the main loop, the start/stop toggle
// and the shutdown.
#include "engine/AppContext.h"
#include "engine/Decoding.h"
#include "engine/JoystickStage.h"
#include "engine/Motion.h"
#include "engine/WindowView.h"
#include "platform/EventPump.h"
#include "profiles/SettingsFolder.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace corvane {

class KeyboardOutput;
class KeyboardPoll;
class StatusReport;
class TrackerLink;

class Engine {
public:
    // `settings` is where the profile files live (the settings folder:
    // beside the program or the user's configuration folder); `makeWindow`
    // builds the main window at start-up.
    Engine(platform::Platform& platform, SettingsFolder settings, WindowMaker makeWindow);
    ~Engine();

    // Start-up, then the main loop until the program ends. Returns the exit
    // status: 0 when the main window was closed, 1 when start-up failed or the
    // user chose to quit rather than keep damaged profile files aside.
    int Main();

    // Start-up steps up to showing the main window; false after a reported
    // fault, or when the user chose to quit rather than start afresh.
    bool startUp();
    // One cycle of the main loop. Faults propagate to the caller.
    void cycle();
    // Cycles until a fault ends the loop (reported) or the program ends.
    void runLoop();

    // The start/stop toggle, with its two-second guard.
    void Start_Command_Click();
    // Closing the main window: ends the program at once.
    void Form_Unload();
    // A library ends the program (the display has gone, `why`): as closing the
    // window, without boxes, then the program ends with status 1 and a message.
    void endAbruptly(const QString& why);

    // Moves the pointer by dx, dy; a fault is reported.
    void MoveMouse(int dx, int dy);

    bool started() const;
    TrackerLink& link() { return *link_; }
    const QByteArray& receiveBuffer() const { return receiveBuffer_; }
    const MotionHistory& motion() const { return motion_; }
    AppContext& app() { return app_; }
    WindowView& view() { return *view_; }

private:
    // What every end does first: releases what the keyboard stage holds, stops
    // and resets the tracker, closes the port. Faults propagate.
    void stopOutputs();
    void createDefaults();
    // Start-up's profile steps: read the profiles, create the defaults on a
    // first start, select the profile used last. Returns false when the user
    // chose to quit.
    bool loadProfiles();
    // Asks, when the profiles file yields no profile or the profile to start
    // with is not among those read, whether to keep both files aside and start
    // afresh, or to quit without touching them. Returns false on quit.
    bool keepAsideOrQuit(bool startProfileMissing);
    // Asks, when the profiles file ends in the middle of a profile, whether
    // to keep a copy of the file and go on with its complete profiles (the
    // file written again without the cut one), or to quit without touching
    // it. Returns false on quit.
    bool keepCopyOrQuit();
    // On the first start in the configuration folder, brings the profiles
    // over from the program's folder and says so.
    void carryOverSettings();
    void process();
    void mouseStage();
    // The joystick is there from the first cycle whose profile's mouse mode
    // is "Joystick", tracking or not, so that a game started before tracking
    // finds it; it stays until the end (a game may not take a joystick that
    // comes again). Leaving the mode centres its axes.
    void keepJoystick();
    void joystickStage(const MovementValues& decoded);
    // Without a tracker the head's position is unknown: the axes rest at the
    // centre, and the first readings when it is back give the new one.
    void restJoystick();

    SettingsFolder settings_;
    AppContext app_;
    EventPump pump_;
    WindowMaker makeWindow_;
    std::unique_ptr<WindowView> view_;
    std::unique_ptr<TrackerLink> link_;
    std::unique_ptr<KeyboardPoll> poll_;
    std::unique_ptr<KeyboardOutput> output_;
    std::unique_ptr<StatusReport> status_;
    std::optional<qint64> lastToggleTime_;
    QByteArray receiveBuffer_;
    MovementValues values_;
    QString cycleKeySequence_;
    MotionHistory motion_;
    JoystickStage joystick_;
    bool joystickWanted_ = false;
    // What the tracker sent before tracking started, or before it was lost,
    // is where the head was then: the joystick passes over the next reading.
    bool joystickFresh_ = false;
    bool pointerNoticeShown_ = false;
    bool joystickNoticeShown_ = false;
};

} // namespace corvane
