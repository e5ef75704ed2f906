#pragma once
// A mapping's key display: the sequence as key labels, presses green and
// bold, releases red and italic. Text typed
// into it is undone by its edit handler; the user can still click into it and
// move through it.
#include "engine/AppContext.h"
#include "keyboard/KeySequence.h"

#include <QColor>
#include <QPushButton>
#include <QTextEdit>
#include <functional>
#include <optional>

namespace corvane {

// The contrast ratio of two colours as WCAG 2 defines it, from 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);
// The colour of a press (green) or release (red) label on the palette's Base:
// the recorder's own colours on a light base, a lighter pair on a dark one.
QColor labelColour(LabelColour colour, const QPalette& palette);

// A mapping's button: a push button that stays pressed in while its mapping
// records. Keys typed while it is pressed in are for the recording, so they
// neither press it nor move the focus on.
class MappingButton : public QPushButton {
    Q_OBJECT
public:
    MappingButton(const QString& caption, QWidget* parent);
    // Called when the keyboard focus moves from the button to another control
    // of its window; not when the window itself loses the focus.
    std::function<void()> lostFocus;

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class KeyBox : public QTextEdit {
    Q_OBJECT
public:
    explicit KeyBox(QWidget* parent = nullptr);

    // Appends one label at the end, in its colour, as the recorder does; the
    // edit handler does not run for it.
    void appendLabel(const QString& label, LabelColour colour);
    // True while the program itself fills the box: its edit handler then stays out.
    bool programChanging() const { return programChanging_; }

protected:
    // A new palette recolours the labels shown for its base.
    void changeEvent(QEvent* event) override;
    // Labels cut off at the right edge can all be read in the tooltip.
    bool viewportEvent(QEvent* event) override;

private:
    friend std::optional<QString> RenderKeySequence(AppContext&, KeyBox&, const QString&);
    bool programChanging_ = false;
};

// Empties the box and fills it with the labels of the sequence; returns the
// box's text afterwards. When a label fails (a negative key code) the fault is
// reported, the box keeps the labels shown so far and there is no result.
std::optional<QString> RenderKeySequence(AppContext& app, KeyBox& box, const QString& sequence);

} // namespace corvane
