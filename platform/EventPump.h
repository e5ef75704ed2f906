#pragma once
// The engine's event-processing point: the window's pending events run here,
// nested inside whatever the engine is doing.
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

private:
    void checkEnded() const;
    platform::Process& process_;
};

} // namespace corvane
