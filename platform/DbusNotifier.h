#pragma once
// Desktop notifications through the notification service on the session bus
// (org.freedesktop.Notifications). The bus is reached at the first
// notification, not at start-up, and every call to the service is
// asynchronous: a missing bus or service never holds up the main loop.
#include "platform/Platform.h"

#include <QObject>
#include <QString>
#include <optional>

class QDBusPendingCallWatcher;

namespace corvane::platform {

class DbusNotifier final : public QObject, public Notifier {
    Q_OBJECT
public:
    DbusNotifier();
    ~DbusNotifier() override;
    // While the service has not yet answered the last notification, a new one
    // waits for its id, so that it replaces it; only the newest one waits.
    void notify(const QString& summary, const QString& body, bool problem) override;

signals:
    // A notification reached the service (`shown`), or it could not be sent.
    void answered(bool shown);

private:
    struct Note {
        QString summary, body;
        bool problem = false;
    };
    bool reachBus();
    void send(const Note& note);
    void receive(QDBusPendingCallWatcher* watcher);
    void giveUp(const QString& why);

    enum class Bus { NotTried, Connected, None };
    Bus bus_ = Bus::NotTried;
    QString connectionName_;
    quint32 lastId_ = 0;
    bool waiting_ = false;
    std::optional<Note> next_;
    bool toldWhy_ = false;
};

} // namespace corvane::platform
