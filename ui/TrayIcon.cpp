#include "ui/TrayIcon.h"

#include "ui/StatusStrip.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace corvane {

TrayIcon::TrayIcon(QObject* parent, Handlers handlers)
    : QObject(parent), handlers_(std::move(handlers)), menu_(new QMenu), icon_(new QSystemTrayIcon(this))
{
    menu_->setObjectName(QStringLiteral("Tray_Menu"));
    startStop_ = menu_->addAction(tr("Start"), this, [this] { handlers_.startStop(); });
    showHide_ = menu_->addAction(tr("Hide Window"), this, [this] { handlers_.showHide(); });
    menu_->addSeparator();
    autostart_ = menu_->addAction(tr("Start when I log in"));
    autostart_->setCheckable(true);
    connect(autostart_, &QAction::triggered, this, [this](bool enabled) {
        if (const QString why = handlers_.setAutostart(enabled); !why.isEmpty()) {
            autostart_->setChecked(!enabled);
            icon_->showMessage(tr("Corvane"), why, QSystemTrayIcon::Warning);
        }
    });
    menu_->addSeparator();
    menu_->addAction(tr("Quit"), this, [this] { handlers_.quit(); });
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            handlers_.showHide();
    });
    icon_->setIcon(statusIcon(StatusKind::Searching));
    icon_->setToolTip(QStringLiteral("Corvane"));
    icon_->show();
}

// The menu has no parent widget: it is the icon's to delete.
TrayIcon::~TrayIcon() { delete menu_; }

void TrayIcon::showStatus(const Status& status)
{
    icon_->setIcon(statusIcon(status.kind));
    icon_->setToolTip(status.text);
}

void TrayIcon::setTracking(bool started) { startStop_->setText(started ? tr("Stop") : tr("Start")); }
void TrayIcon::setWindowShown(bool shown) { showHide_->setText(shown ? tr("Hide Window") : tr("Show Window")); }
void TrayIcon::setAutostart(bool enabled) { autostart_->setChecked(enabled); }
bool TrayIcon::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

} // namespace corvane
