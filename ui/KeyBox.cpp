#include "ui/KeyBox.h"

#include "platform/ShowError.h"

#include <QEvent>
#include <QFocusEvent>
#include <QScopedValueRollback>
#include <QTextCharFormat>
#include <QTextCursor>

namespace corvane {

namespace {

// Inserts the label at the cursor's place in its colour.
void insertLabel(QTextCursor& cursor, const QString& label, LabelColour colour)
{
    const int* rgb = colour == LabelColour::Green ? kGreenRgb : kRedRgb;
    QTextCharFormat format;
    format.setForeground(QColor(rgb[0], rgb[1], rgb[2]));
    cursor.insertText(label, format);
}

} // namespace

MappingButton::MappingButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setCheckable(true);
}

bool MappingButton::event(QEvent* event)
{
    const auto type = event->type();
    if (isChecked() && (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride)) {
        event->accept();
        return true;
    }
    return QPushButton::event(event);
}

void MappingButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    // The window losing the focus to another program, or a popup taking it
    // for a while, leaves this button the focus of its window: the recording
    // goes on, and hears the keys typed meanwhile.
    const Qt::FocusReason reason = event->reason();
    if (lostFocus && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        lostFocus();
}

KeyBox::KeyBox(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
}

void KeyBox::appendLabel(const QString& label, LabelColour colour)
{
    const QScopedValueRollback changing(programChanging_, true);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    insertLabel(cursor, label, colour);
}

bool KeyBox::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        setToolTip(document()->idealWidth() > viewport()->width() ? toPlainText() : QString());
    return QTextEdit::viewportEvent(event);
}

std::optional<QString> RenderKeySequence(AppContext& app, KeyBox& box, const QString& sequence)
{
    const QScopedValueRollback changing(box.programChanging_, true);
    box.clear();
    const RenderedKeys rendered = renderKeySequence(sequence);
    // One edit: the box lays its line out once, not after every label, which
    // for a long sequence would take time growing with the square of its length.
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    for (const KeyLabelSpan& span : rendered.spans)
        insertLabel(cursor, span.label, span.colour);
    if (rendered.cut)
        cursor.insertText(QStringLiteral("\u2026"));
    cursor.endEditBlock();
    if (rendered.fault) {
        showError(app.platform, *rendered.fault);
        return std::nullopt;
    }
    const QString text = box.toPlainText();
    QTextCursor start(box.document());
    start.setPosition(0);
    box.setTextCursor(start);
    return text;
}

} // namespace corvane
