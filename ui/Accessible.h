#pragma once
// What assistive technology is told of the window's controls beyond Qt's own
// accessibility: pick lists named by their label with their choice as value,
// and the main window without its off-window focus taker.

namespace corvane {

// Installs the accessibility interfaces for Corvane's own controls; once per
// program, before the first window is made.
void installAccessibility();

} // namespace corvane
