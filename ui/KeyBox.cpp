#include "ui/KeyBox.h"

#include "keyboard/KeySequence.h"
#include "ui/ShowError.h"

#include <QTextCharFormat>
#include <QTextCursor>

namespace corvane {

KeyBox::KeyBox(QWidget* parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
}

std::optional<QString> RenderKeySequence(AppContext& app, QTextEdit& box, const QString& sequence)
{
    box.clear();
    const RenderedKeys rendered = renderKeySequence(sequence);
    QTextCursor cursor(box.document());
    for (const KeyLabelSpan& span : rendered.spans) {
        const int* rgb = span.colour == LabelColour::Green ? kGreenRgb : kRedRgb;
        QTextCharFormat format;
        format.setForeground(QColor(rgb[0], rgb[1], rgb[2]));
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(span.label, format);
    }
    if (rendered.fault) {
        showError(app, *rendered.fault);
        return std::nullopt;
    }
    const QString text = box.toPlainText();
    QTextCursor start(box.document());
    start.setPosition(0);
    box.setTextCursor(start);
    return text;
}

} // namespace corvane
