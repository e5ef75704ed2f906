// The main window's outer size kept exact under the frame that the window
// system tells of.
#include "ui/MainForm.h"

#include "ui/TrayIcon.h"
#include "ui/Twips.h"

#include <QMetaObject>
#include <QWindow>

namespace corvane {

namespace {

// What the border and title bar add to the shown window's inside, as the
// window system tells them at the moment. QWidget::frameGeometry() keeps the
// frame of the last move or resize, and on Wayland the title bar that Qt draws
// itself comes after the first showing with neither, to a window of fixed size.
QSize frameExtra(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    if (!handle)
        return {0, 0};
    const QMargins margins = handle->frameMargins();
    return {margins.left() + margins.right(), margins.top() + margins.bottom()};
}

} // namespace

void MainForm::setOuterSizeTwips(int width, int height)
{
    outerWidthTwips_ = width;
    outerHeightTwips_ = height;
    fitToOuterSize();
}

void MainForm::fitToOuterSize()
{
    // The border and title bar, when the window system tells their size, are
    // part of the outer size. They are known only once the shown window is
    // framed, which on X11 moves it and on Wayland repaints it: so the inside
    // is fitted again then. A frame that a Wayland compositor draws stays
    // unknown, and the inside takes the whole outer size, as on an X server
    // without a window manager. A minimised window waits until it is shown
    // again (changeEvent): resized, X11 would show it.
    if (isMinimized())
        return;
    fittedFrame_ = isVisible() ? frameExtra(*this) : QSize(0, 0);
    const QSize inside(twipsX(outerWidthTwips_, *this) - fittedFrame_.width(),
                       twipsY(outerHeightTwips_ + kStatusLineHeight, *this) - fittedFrame_.height());
    if (inside != minimumSize() || inside != maximumSize())
        setFixedSize(inside);
}

void MainForm::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    fitToOuterSize();
}

void MainForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // Qt's own title bar on Wayland comes with a repainting, not a move; the
    // size changes after the painting.
    if (isVisible() && frameExtra(*this) != fittedFrame_)
        QMetaObject::invokeMethod(this, &MainForm::fitToOuterSize, Qt::QueuedConnection);
}

void MainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    fitToOuterSize();
    if (tray_)
        tray_->setWindowShown(true);
}

} // namespace corvane
