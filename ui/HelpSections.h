#pragma once
// The sections of the help text, each a title and its body: plain ASCII,
// lines of at most 80 characters, written with plain line feeds between a
// line feed that opens the body and one that closes it. Both are marked for
// translation in the context "corvane::HelpText"; helpText() translates them.

namespace corvane {

struct HelpSection {
    const char* title;
    const char* body;
};

// B. INSTALLATION: the package and the build, the kernel's input devices and
// the access they need, the settings files and connecting the tracker.
HelpSection installationSection();

} // namespace corvane
