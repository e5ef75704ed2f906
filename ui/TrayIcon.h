#pragma once
// Corvane's icon in the desktop's tray while it runs (a StatusNotifierItem
// where the desktop has a watcher for them, the X tray otherwise): it shows
// the state of the status line, its tooltip is the status line's sentence,
// and its menu starts and stops tracking, shows and hides the window, starts
// Corvane at login, and quits.
#include "engine/StatusLine.h"

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace corvane {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // What the menu's items run.
    struct Handlers {
        std::function<void()> startStop;
        std::function<void()> showHide;
        std::function<void()> quit;
        // Turns "Start when I log in" on or off; returns why it failed, or empty text.
        std::function<QString(bool)> setAutostart;
    };
    TrayIcon(QObject* parent, Handlers handlers);
    ~TrayIcon() override;

    void showStatus(const Status& status);
    // The captions that follow the window: Start or Stop, Show or Hide.
    void setTracking(bool started);
    void setWindowShown(bool shown);
    void setAutostart(bool enabled);
    // Whether the desktop has a tray the icon is in now.
    static bool available();
    QMenu* menu() const { return menu_; }

private:
    Handlers handlers_;
    QMenu* menu_;
    QSystemTrayIcon* icon_;
    QAction* startStop_;
    QAction* showHide_;
    QAction* autostart_;
};

} // namespace corvane
