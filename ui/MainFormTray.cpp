// The main window out of sight: started hidden with --minimized, minimised to
// the tray, and shown again from the tray icon's menu.
#include "ui/MainForm.h"

#include "platform/ShowError.h"
#include "ui/Autostart.h"
#include "ui/StatusStrip.h"
#include "ui/TrayIcon.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>

namespace corvane {

void MainForm::showWindow()
{
    windowStarted_ = true;
    // On X the icon enters a tray that starts later; elsewhere only a tray
    // that is there (a StatusNotifierItem watcher) can take it.
    if (!tray_ && (QGuiApplication::platformName() == QLatin1String("xcb") || TrayIcon::available())) {
        const auto run = [this](const std::function<void()>& handler) {
            return [handler] {
                if (handler)
                    handler();
            };
        };
        tray_ = new TrayIcon(this, {run(handlers_.startClick), [this] { showOrHide(); }, [this] { close(); },
                                    [](bool enabled) {
                                        return setAutostart(autostartPath(), QCoreApplication::applicationFilePath(),
                                                            enabled);
                                    }});
        tray_->setAutostart(autostartEnabled(autostartPath()));
        tray_->setTracking(trackingStarted());
        tray_->showStatus(Status_Line->status());
    }
    if (!startMinimized_)
        show();
    else if (!trayTakesWindow())
        showMinimized();
    else
        tray_->setWindowShown(false);
}

bool MainForm::inBackground() const { return windowStarted_ && (isHidden() || isMinimized()); }

bool MainForm::trayTakesWindow() const { return tray_ && TrayIcon::available(); }

void MainForm::showOrHide()
{
    trapFaults(app_.platform, [this] {
        if (isVisible() && !isMinimized()) {
            if (trayTakesWindow())
                hide();
            else
                showMinimized();
            return;
        }
        showNormal();
        raise();
        activateWindow();
    });
}

void MainForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (tray_)
        tray_->setWindowShown(false);
}

void MainForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // Not fitted to its frame while minimised (a resize on X11 would show it
    // again), so fitted once it comes back.
    if (!isMinimized())
        fitToOuterSize();
    // Hidden once the window system has finished minimising it.
    else if (trayTakesWindow())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}

} // namespace corvane
