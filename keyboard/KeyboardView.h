#pragma once
// What the keyboard poll and the keyboard stage need of the main window. The
// window implements it; the tests use a fake. The state stays in the controls:
// these read and write them.
#include "keyboard/KeySequence.h"

#include <QString>
#include <optional>

namespace corvane {

class KeyboardView {
public:
    virtual ~KeyboardView() = default;

    // Whether the tracker runs: Start's caption reads "Stop".
    virtual bool trackingStarted() const = 0;
    // The key mode list's text.
    virtual QString keyMode() const = 0;
    // Whether a mapping records: set by pressing a mapping button in, cleared
    // by letting it out or by its losing the focus.
    virtual bool recording() const = 0;
    // The first mapping, in the order of Mapping, whose button is pressed in.
    virtual std::optional<int> pressedInMapping() const = 0;
    // Appends one key label to a mapping's box, as the recorder writes it.
    virtual void appendKeyLabel(int mapping, const QString& label, LabelColour colour) = 0;
    // Shows the text the keyboard stage sent in the output monitor.
    virtual void showKeys(const QString& text) = 0;
};

} // namespace corvane
