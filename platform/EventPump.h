#pragma once
// The engine's event-processing point: the window's pending events run here,
// nested inside whatever the engine is doing.
//
// Most points find nothing pending, and running the event loop to learn that
// costs a pass over all its sources and a system call. So a point runs the
// loop only when the loop has something to do: one of its descriptors is
// ready or a timer may be due (LoopWatch.h). Looking at the descriptors is
// one system call; inside a scan (the keyboard poll's 255 points, a few
// nanoseconds apart) only every kLookEvery-th point looks, so a click that
// arrives in the middle of a scan still runs its handler inside that scan,
// some codes later.
#include "platform/LoopWatch.h"
#include "platform/Platform.h"

namespace corvane {

class EventPump {
public:
    explicit EventPump(platform::Process& process) : process_(process) {}

    // Runs every pending event and posted deferred deletion. Once a handler has
    // ended the program, throws ProgramEnded so the engine unwinds at once.
    void process();
    // Waits for at least one event, then as process().
    void waitAndProcess();

    // Marks a scan: from its first point on, only every kLookEvery-th point
    // looks at the loop, until it ends.
    class Scan {
    public:
        explicit Scan(EventPump& pump) : pump_(pump) { pump_.scanPoints_ = 0; }
        ~Scan() { pump_.scanPoints_ = -1; }
        Scan(const Scan&) = delete;
        Scan& operator=(const Scan&) = delete;

    private:
        EventPump& pump_;
    };

    static constexpr int kLookEvery = 128;

private:
    bool pending();
    void run(bool wait);
    void checkEnded() const;

    platform::Process& process_;
    platform::LoopWatch watch_;
    int scanPoints_ = -1; // points met in the present scan; -1 outside one
};

} // namespace corvane
