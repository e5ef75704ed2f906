#pragma once
// Whether the window's event loop has anything to do, found without running
// it. Running the loop (QCoreApplication::processEvents) costs a pass over all
// its event sources and a system call even when nothing is pending; the
// engine asks hundreds of times a cycle. What can be pending comes to the
// loop through its descriptors: the wake-up of posted events (which is also
// how the window system's reader thread reports input), socket notifiers.
// The watch learns them from the loop itself, each time the loop polls
// them, and looks at them in one system call of its own that returns at once.
//
// Timers are seen through the loop's own reckoning, taken as it polls: when
// its next timer is due. A timer started by a handler after that is not
// known until the loop has run again, so a timer counts as due too once the
// loop has not polled for kQuietNs. Where the loop is not one whose
// descriptors can be learnt, known() stays false and the loop is simply run
// at every point.
#include <QtGlobal>

namespace corvane::platform {

class LoopWatch {
public:
    // Starts watching the loop of the program's main thread; needs the
    // application object. Watching begins with the loop's next pass.
    LoopWatch();
    LoopWatch(const LoopWatch&) = delete;
    LoopWatch& operator=(const LoopWatch&) = delete;

    // Whether the loop's descriptors have been learnt.
    bool known() const;
    // Whether any of them is ready: there is something for the loop to do.
    bool ready() const;
    // Whether a timer may be due: the loop's next one, as it reckoned when it
    // last polled, or one started since, once it has not polled for kQuietNs.
    bool timerDue() const;

    static constexpr qint64 kQuietNs = 250'000'000;
};

} // namespace corvane::platform
