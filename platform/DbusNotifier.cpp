#include "platform/DbusNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QVariantMap>

#include <unistd.h>

namespace corvane::platform {

namespace {

Q_LOGGING_CATEGORY(lcNotify, "corvane.notify", QtWarningMsg)

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kAppId = QStringLiteral(CORVANE_APP_ID);
// How long the service may take to answer (it may first have to be started).
constexpr int kAnswerMs = 5000;
// The notification's own time on screen: the service's default.
constexpr int kServerDefaultExpiry = -1;
// The urgency hint's levels.
constexpr uchar kNormal = 1;
constexpr uchar kCritical = 2;

// The session bus's address: the environment's, else the user's own bus
// socket in the runtime folder. Empty when there is neither: the bus is not
// started on demand for a notification.
QString sessionBusAddress()
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        return {};
    // Only the user's own: a runtime folder in a shared place (it happens)
    // must not lead to a bus that another user put there.
    const QString socket = QDir(runtime).filePath(QStringLiteral("bus"));
    if (QFileInfo(socket).ownerId() != getuid())
        return {};
    return QStringLiteral("unix:path=") + socket;
}

} // namespace

DbusNotifier::DbusNotifier()
    : connectionName_(QStringLiteral("corvane-notify-%1").arg(reinterpret_cast<quintptr>(this), 0, 16))
{
}

DbusNotifier::~DbusNotifier() { QDBusConnection::disconnectFromBus(connectionName_); }

void DbusNotifier::notify(const QString& summary, const QString& body, bool problem)
{
    if (!reachBus()) {
        emit answered(false);
        return;
    }
    const Note note{summary, body, problem};
    if (waiting_)
        next_ = note;
    else
        send(note);
}

bool DbusNotifier::reachBus()
{
    if (bus_ == Bus::NotTried) {
        const QString address = sessionBusAddress();
        if (address.isEmpty()) {
            bus_ = Bus::None;
            giveUp(QStringLiteral("there is no session bus"));
        } else if (QDBusConnection::connectToBus(address, connectionName_).isConnected()) {
            bus_ = Bus::Connected;
        } else {
            const QString why = QDBusConnection(connectionName_).lastError().message();
            QDBusConnection::disconnectFromBus(connectionName_);
            bus_ = Bus::None;
            giveUp(QStringLiteral("the session bus cannot be reached: ") + why);
        }
    }
    return bus_ == Bus::Connected && QDBusConnection(connectionName_).isConnected();
}

void DbusNotifier::send(const Note& note)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue(note.problem ? kCritical : kNormal)},
        {QStringLiteral("desktop-entry"), kAppId},
    };
    call << QStringLiteral("Corvane") << lastId_ << kAppId << note.summary << note.body << QStringList() << hints
         << kServerDefaultExpiry;
    waiting_ = true;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection(connectionName_).asyncCall(call, kAnswerMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DbusNotifier::receive);
}

void DbusNotifier::receive(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    waiting_ = false;
    if (reply.isError())
        giveUp(QStringLiteral("the notification service did not answer: ") + reply.error().message());
    else
        lastId_ = reply.value();
    emit answered(!reply.isError());
    if (next_) {
        const Note note = *next_;
        next_.reset();
        send(note);
    }
}

void DbusNotifier::giveUp(const QString& why)
{
    if (toldWhy_)
        return;
    toldWhy_ = true;
    qCInfo(lcNotify, "no desktop notifications: %s", qPrintable(why));
}

} // namespace corvane::platform
