#pragma once
#include "platform/Platform.h"

namespace corvane::platform {

class LinuxProcess final : public Process {
public:
    // `displayLost` tells, when the program is ended abruptly, whether the
    // display has gone; none: there is no display to lose. `beforeEnd` runs
    // as endProgram begins, to leave the desktop as the program found it.
    explicit LinuxProcess(std::function<bool()> displayLost = {}, std::function<void()> beforeEnd = {})
        : displayLost_(std::move(displayLost)), beforeEnd_(std::move(beforeEnd))
    {
    }
    void raisePriority() override;
    bool haveFreeFileHandle() override;
    [[noreturn]] void endProgram(int status) override;
    bool ended() const override { return false; }
    void whenAskedToEnd(std::function<void()> handler) override;
    void whenEndedAbruptly(std::function<void(const QString& why)> handler) override;

private:
    std::function<bool()> displayLost_;
    std::function<void()> beforeEnd_;
};

} // namespace corvane::platform
