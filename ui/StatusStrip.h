#pragma once
// The status line at the bottom of the main window: an icon for the state
// (stopped, searching, tracking, a problem), one short sentence of at most two
// lines with the whole sentence as its tooltip, and a "Details" link. A click
// anywhere on it, or Return or Space while it has the focus, asks for the
// details.
#include "engine/StatusLine.h"

#include <QDialog>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace corvane {

// The icon for a state, from the window style's own icons: the same ones the
// tray may show.
QIcon statusIcon(StatusKind kind);

class StatusStrip : public QWidget {
    Q_OBJECT
public:
    explicit StatusStrip(QWidget* parent);
    void showStatus(const Status& status);
    const Status& status() const { return status_; }
    // What the line shows now, as its two lines of text (the sentence cut
    // with an ellipsis where it is longer).
    QString shownText() const;

signals:
    void detailsAsked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitText();

    QLabel* icon_;
    QLabel* text_;
    QLabel* details_;
    Status status_;
};

// The details behind the status line: the whole diagnosis, which can be
// selected, and a button that copies it to the clipboard.
class StatusDetails : public QDialog {
    Q_OBJECT
public:
    explicit StatusDetails(QWidget* parent);
    void showText(const QString& text);
    QString text() const;

private:
    QPlainTextEdit* text_;
};

} // namespace corvane
