#pragma once
#include "platform/Platform.h"

namespace corvane::platform {

class LinuxProcess final : public Process {
public:
    void raisePriority() override;
    bool haveFreeFileHandle() override;
    [[noreturn]] void endProgram(int status) override;
    bool ended() const override { return false; }
    void whenAskedToEnd(std::function<void()> handler) override;
};

} // namespace corvane::platform
