// Desktop notifications through a real notification service, dunst, on a
// private session bus: what it shows, the urgency, replacing the last one;
// and that without a service, or without a bus, nothing is shown, nothing is
// said and nothing waits.
#include "platform/DbusNotifier.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

using corvane::platform::DbusNotifier;

namespace {

// Runs the event loop until `done`, for at most 10 s; whether it was done.
template <typename Done>
bool spinUntil(Done done)
{
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

// Gives an environment variable a value while it lives.
struct Setenv {
    Setenv(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) { qputenv(name, value); }
    ~Setenv() { qputenv(name_, old_); }
    const char* name_;
    QByteArray old_;
};

// A private session bus whose socket is bus in its own folder, as in a
// user's runtime folder, with dunst on it when asked. Every process started
// here ends with it, or with the test program if that dies.
class PrivateBus {
public:
    PrivateBus()
    {
        write("bus.conf", "<busconfig><type>session</type><auth>EXTERNAL</auth><policy context='default'>"
                          "<allow send_destination='*' eavesdrop='true'/><allow eavesdrop='true'/>"
                          "<allow own='*'/></policy><listen>unix:path="
                              + QFile::encodeName(path("bus")) + "</listen></busconfig>");
        start(daemon_, "dbus-daemon", {"--nofork", "--print-address", "--config-file=" + path("bus.conf")});
        spinUntil([this] { return daemon_.canReadLine() || daemon_.state() != QProcess::Running; });
        address = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("test"));
        for (QProcess* p : {&dunst_, &daemon_}) {
            p->kill();
            p->waitForFinished();
        }
    }
    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }

    // dunst, with a timeout for each urgency, and the notifications that name
    // Corvane's desktop entry and icon marked.
    void startDunst()
    {
        write("dunstrc",
              "[urgency_normal]\ntimeout = 12\n[urgency_critical]\ntimeout = 13\n[corvane]\n"
              "desktop_entry = example.tollan.Corvane\nicon = example.tollan.Corvane\nformat = \"entry: %s\"\n");
        start(dunst_, "dunst", {"-config", path("dunstrc")});
        auto bus = QDBusConnection::connectToBus(address, QStringLiteral("test"));
        const QString service = QStringLiteral("org.freedesktop.Notifications");
        ASSERT_TRUE(spinUntil([&] { return bus.interface()->isServiceRegistered(service).value(); }))
            << dunst_.readAllStandardError().toStdString();
    }

    // Closes what dunst shows and reads its history, newest first.
    QJsonArray history()
    {
        dunstctl("close-all");
        return QJsonDocument::fromJson(dunstctl("history"))[QLatin1String("data")][0].toArray();
    }

    QString address;

private:
    void write(const char* name, const QByteArray& text)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    void start(QProcess& process, const char* program, const QStringList& arguments)
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(env);
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(QLatin1String(program), arguments);
        ASSERT_TRUE(process.waitForStarted()) << program;
    }
    QByteArray dunstctl(const char* command)
    {
        QProcess ctl;
        start(ctl, "dunstctl", {QLatin1String(command)});
        spinUntil([&] { return ctl.state() == QProcess::NotRunning; });
        EXPECT_EQ(ctl.exitCode(), 0) << ctl.readAllStandardError().toStdString();
        return ctl.readAllStandardOutput();
    }

    QTemporaryDir dir_;
    QProcess daemon_, dunst_;
};

QString field(const QJsonValue& entry, const char* name)
{
    const QJsonValue value = entry[QLatin1String(name)][QLatin1String("data")];
    return value.isString() ? value.toString() : QString::number(value.toInteger());
}

// What the program writes to its standard error from now until text().
class CapturedStderr {
public:
    CapturedStderr() : saved_(dup(2))
    {
        file_.open();
        dup2(file_.handle(), 2);
    }
    ~CapturedStderr() { text(); }
    QString text()
    {
        std::fflush(stderr);
        if (saved_ >= 0 && dup2(saved_, 2) >= 0 && close(saved_) == 0)
            saved_ = -1;
        file_.seek(0);
        return QString::fromLocal8Bit(file_.readAll());
    }

private:
    int saved_;
    QTemporaryFile file_;
};

// A notifier that counts its answers, and those that reached the service.
struct Notifier {
    Notifier()
    {
        QObject::connect(&real, &DbusNotifier::answered, [this](bool shown) { ++answers, shown_ += shown; });
    }
    void notify(const char* summary, const char* body, bool problem)
    {
        real.notify(QString::fromUtf8(summary), QString::fromUtf8(body), problem);
    }
    DbusNotifier real;
    int answers = 0, shown_ = 0;
};

TEST(Notifier, ShowsWhatChangedLastReplacingWhatItShowedBefore)
{
    PrivateBus bus;
    ASSERT_NO_FATAL_FAILURE(bus.startDunst());
    // The bus is found where a desktop session keeps it.
    Setenv address("DBUS_SESSION_BUS_ADDRESS", {});
    Setenv runtime("XDG_RUNTIME_DIR", QFile::encodeName(QFileInfo(bus.path("bus")).path()));
    Notifier notifier;

    // The second comes before the first is answered: it waits for its id.
    notifier.notify("Tracker lost", "No data from COM 1.", true);
    notifier.notify("Tracker found", "Data from COM 1 again.", false);
    ASSERT_TRUE(spinUntil([&] { return notifier.answers == 2; }));
    notifier.notify("Tracking stopped", "By the global keys.", true);
    ASSERT_TRUE(spinUntil([&] { return notifier.answers == 3; }));
    EXPECT_EQ(notifier.shown_, 3);
    QJsonArray history = bus.history();
    ASSERT_EQ(history.size(), 1) << QJsonDocument(history).toJson().toStdString();
    EXPECT_EQ(field(history[0], "summary"), QStringLiteral("Tracking stopped"));
    EXPECT_EQ(field(history[0], "body"), QStringLiteral("By the global keys."));
    EXPECT_EQ(field(history[0], "appname"), QStringLiteral("Corvane"));
    EXPECT_EQ(field(history[0], "message"), QStringLiteral("entry: Tracking stopped"));
    EXPECT_EQ(field(history[0], "timeout"), QStringLiteral("13000000")) << "critical";

    notifier.notify("Tracking started", "By the global keys.", false);
    ASSERT_TRUE(spinUntil([&] { return notifier.answers == 4; }));
    history = bus.history();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(field(history[0], "summary"), QStringLiteral("Tracking started"));
    EXPECT_EQ(field(history[0], "timeout"), QStringLiteral("12000000")) << "normal";
}

TEST(Notifier, WithoutAServiceOrABusShowsNothingAndSaysNothingUnlessAsked)
{
    PrivateBus bus;
    QTemporaryDir empty;
    Setenv runtime("XDG_RUNTIME_DIR", QFile::encodeName(empty.path()));
    // A bus without the service; none where the environment says; none at
    // all. Asked, the log category tells why, once.
    for (const QString& address : {bus.address, "unix:path=" + empty.filePath("bus"), QString()}) {
        for (const bool asked : {false, true}) {
            Setenv env("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
            QLoggingCategory::setFilterRules(asked ? QStringLiteral("corvane.notify.info=true") : QString());
            CapturedStderr err;
            Notifier notifier;
            QElapsedTimer timer;
            timer.start();
            notifier.notify("Tracker lost", "No data.", true);
            notifier.notify("Tracker found", "Data again.", false);
            EXPECT_LT(timer.elapsed(), 100);
            EXPECT_TRUE(spinUntil([&] { return notifier.answers == 2; }));
            EXPECT_EQ(notifier.shown_, 0);
            EXPECT_EQ(err.text().count(u'\n'), asked ? 1 : 0) << address.toStdString() << err.text().toStdString();
        }
    }
    QLoggingCategory::setFilterRules({});
}

} // namespace
