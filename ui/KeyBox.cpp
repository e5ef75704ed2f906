#include "ui/KeyBox.h"

#include "platform/ShowError.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPalette>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// Each label's format tells which colour it is, so that it can be recoloured.
constexpr int kColourProperty = QTextFormat::UserProperty;

double luminance(const QColor& c)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// Inserts the label at the cursor's place in its colour and weight.
void insertLabel(QTextCursor& cursor, const QString& label, LabelColour colour, const QPalette& palette)
{
    QTextCharFormat format;
    format.setForeground(labelColour(colour, palette));
    format.setFontWeight(colour == LabelColour::Green ? QFont::Bold : QFont::Normal);
    format.setFontItalic(colour == LabelColour::Red);
    format.setProperty(kColourProperty, static_cast<int>(colour));
    cursor.insertText(label, format);
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor labelColour(LabelColour colour, const QPalette& palette)
{
    // Below this luminance black text has less contrast than white.
    constexpr double kDarkBase = 0.179;
    const bool green = colour == LabelColour::Green;
    if (luminance(palette.color(QPalette::Base)) < kDarkBase)
        return green ? QColor(0x5c, 0xd6, 0x5c) : QColor(0xff, 0x85, 0x85);
    const int* rgb = green ? kGreenRgb : kRedRgb;
    return QColor(rgb[0], rgb[1], rgb[2]);
}

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
    // Tab and Shift+Tab move on to the next control; a recording reads its
    // keys from the keyboard, not from the box.
    setTabChangesFocus(true);
}

void KeyBox::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    const QScopedValueRollback changing(programChanging_, true);
    QTextCursor cursor(document());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextCharFormat format = it.fragment().charFormat();
            if (!format.hasProperty(kColourProperty))
                continue;
            format.setForeground(labelColour(static_cast<LabelColour>(format.intProperty(kColourProperty)), palette()));
            cursor.setPosition(it.fragment().position());
            cursor.setPosition(it.fragment().position() + it.fragment().length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
}

void KeyBox::appendLabel(const QString& label, LabelColour colour)
{
    const QScopedValueRollback changing(programChanging_, true);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    insertLabel(cursor, label, colour, palette());
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
        insertLabel(cursor, span.label, span.colour, box.palette());
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
