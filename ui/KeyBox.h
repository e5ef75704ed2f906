#pragma once
// A mapping's key display: the sequence as coloured key labels. The user can
// click into it and move through it, but not change it.
#include "ui/AppContext.h"

#include <QTextEdit>
#include <optional>

namespace corvane {

class KeyBox : public QTextEdit {
    Q_OBJECT
public:
    explicit KeyBox(QWidget* parent = nullptr);
};

// Empties the box and fills it with the labels of the sequence; returns the
// box's text afterwards. When a label fails (a negative key code) the fault is
// reported, the box keeps the labels shown so far and there is no result.
std::optional<QString> RenderKeySequence(AppContext& app, QTextEdit& box, const QString& sequence);

} // namespace corvane
