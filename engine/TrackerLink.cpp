#include "engine/TrackerLink.h"

#include "core/Choices.h"
#include "platform/ShowError.h"

#include <QCoreApplication>
#include <QLoggingCategory>

namespace corvane {

namespace {

// The texts of this file, translated in the context "corvane::TrackerLink".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::TrackerLink)
};

} // namespace

Q_LOGGING_CATEGORY(lcLink, "corvane.link", QtWarningMsg)

namespace {

constexpr quint32 kReplyTimeoutMs = 2000;

// Runs one step of the port search; a step that fails is passed over. Returns
// why it failed, or nothing.
template <class Step>
QString skipFailure(Step&& step)
{
    try {
        std::forward<Step>(step)();
        return {};
    } catch (const ProgramEnded&) {
        throw;
    } catch (...) {
        return faultReason(currentFault());
    }
}

} // namespace

TrackerLink::TrackerLink(AppContext& app, WindowView& view, EventPump& pump) : app_(app), view_(view), pump_(pump) {}

bool TrackerLink::portOpen() const { return app_.platform.serial->isOpen(); }

// A device that went away in the middle of a set-up closes the port; the rest
// of the set-up then neither writes nor reads, and the next cycle searches.
void TrackerLink::write(const QByteArray& bytes)
{
    if (portOpen())
        app_.platform.serial->output(bytes);
}

QByteArray TrackerLink::read() { return portOpen() ? app_.platform.serial->input() : QByteArray(); }

void TrackerLink::SendStartCommand()
{
    if (portOpen())
        write("S");
}

void TrackerLink::SendStopCommand()
{
    if (portOpen())
        write("!");
}

void TrackerLink::shutdown()
{
    if (!portOpen())
        return;
    write("!");
    write("!R\r");
    app_.platform.serial->close();
    enter(LinkPhase::Closed,
          QStringLiteral("stopped and reset the tracker (\"!\", \"!R\") and closed COM %1").arg(app_.link.portNumber));
}

void TrackerLink::enter(LinkPhase phase, const QString& what)
{
    app_.link.phase = phase;
    qCInfo(lcLink).noquote() << what;
}

void TrackerLink::tried(const QString& refusal)
{
    const int number = app_.platform.serial->portNumber();
    if (refusal.isEmpty()) {
        app_.link.refusals.remove(number);
        app_.link.refusedDevices.remove(number);
        app_.link.unanswered = false;
        enter(LinkPhase::Waiting,
              QStringLiteral("COM %1 (%2) is open at %3, waiting for the tracker's answer")
                  .arg(number)
                  .arg(app_.platform.serial->describe(number).device, app_.platform.serial->settings()));
    } else if (app_.link.refusals.value(number) != refusal) {
        app_.link.refusals.insert(number, refusal);
        if (app_.platform.serial->describe(number).device.isEmpty())
            app_.link.refusedDevices.remove(number);
        else
            app_.link.refusedDevices.insert(number);
        qCInfo(lcLink).noquote() << refusal;
    }
}

QString TrackerLink::setupCommand(QString* mode) const
{
    SetupTexts texts = view_.setupTexts();
    if (built_.command.isEmpty() || texts != built_.texts) {
        if (texts.mode == kMouseEmulation) {
            built_.mode = kMouseEmulation;
            built_.command = QStringLiteral("!M3,0,A,") + texts.magnetic + QLatin1Char(',') + texts.tilt
                           + QStringLiteral(",1,") + texts.jitter;
        } else {
            built_.mode = kEulerAngle;
            built_.command = QStringLiteral("!M2,C,B,") + texts.magnetic + QLatin1Char(',') + texts.tilt;
        }
        built_.texts = std::move(texts);
    }
    if (mode)
        *mode = built_.mode;
    return built_.command;
}

void TrackerLink::ServiceTrackerLink()
{
    platform::SerialPort& port = *app_.platform.serial;
    const bool reopened = trapFaults(app_.platform, [&] {
        pump_.process();
        if (port.isOpen() && (port.portNumber() != app_.link.portNumber || port.settings() != app_.link.portSettings)) {
            port.close();
            enter(LinkPhase::Searching, QStringLiteral("closed COM %1 to open COM %2 at %3")
                                            .arg(port.portNumber())
                                            .arg(app_.link.portNumber)
                                            .arg(app_.link.portSettings));
            app_.platform.clock->sleepMs(100);
            pump_.process();
        }
    });
    if (!reopened)
        return;
    openAndSearch();
    if (!port.isOpen())
        return;
    trapFaults(app_.platform, [this] { setUp(); });
}

void TrackerLink::openAndSearch()
{
    platform::SerialPort& port = *app_.platform.serial;
    if (!port.isOpen() && app_.link.phase != LinkPhase::Searching) {
        if (app_.link.phase != LinkPhase::Closed)
            app_.link.lost = Texts::tr("COM %1 has closed: %2")
                                 .arg(port.portNumber())
                                 .arg(port.whyClosed().isEmpty() ? Texts::tr("the device has gone") : port.whyClosed());
        enter(LinkPhase::Searching, app_.link.phase == LinkPhase::Closed
                                        ? QStringLiteral("searching the ports for the tracker")
                                        : app_.link.lost + QStringLiteral("; searching the ports"));
    }
    while (!port.isOpen()) {
        skipFailure([&] { port.setPortNumber(app_.link.portNumber); });
        while (!port.isOpen()) {
            skipFailure([&] { port.setSettings(app_.link.portSettings); });
            QString refusal;
            const QString fault = skipFailure([&] { refusal = port.tryOpen(); });
            tried(fault.isEmpty() ? refusal : fault);
            pump_.process();
            app_.platform.clock->sleepMs(100);
            app_.link.acceptedCommand.clear();
            skipFailure([&] { write("!"); });
            if (port.isOpen())
                break;
            // Next speed down; after the slowest (or an unknown text) back to the
            // fastest, and on to the next port.
            const auto at = kSpeedItems.indexOf(view_.speed());
            const bool lastSpeed = at < 0 || at == kSpeedItems.size() - 1;
            skipFailure([&] { view_.setSpeed(lastSpeed ? kSpeedItems.first() : kSpeedItems[at + 1]); });
            if (lastSpeed)
                break;
        }
        if (port.isOpen())
            break;
        const auto at = kLocationItems.indexOf(view_.location());
        const bool lastPort = at < 0 || at == kLocationItems.size() - 1;
        skipFailure([&] { view_.setLocation(lastPort ? kLocationItems.first() : kLocationItems[at + 1]); });
        if (lastPort)
            return;
    }
}

void TrackerLink::drain()
{
    QByteArray received;
    do {
        pump_.process();
        app_.platform.clock->sleepMs(20);
        received = read();
    } while (!received.isEmpty());
}

void TrackerLink::setUp()
{
    QString mode;
    const QString command = setupCommand(&mode);
    if (command == app_.link.acceptedCommand)
        return;
    enter(LinkPhase::Waiting, QStringLiteral("sending the set-up %1").arg(command));
    write("!");
    drain();
    write(command.toLatin1() + '\r');

    platform::Clock& clock = *app_.platform.clock;
    const quint32 start = clock.tickCount();
    QByteArray reply;
    quint32 now = start;
    // A port that closes meanwhile (its device gone or replaced) can no longer
    // answer: the search then starts at the next cycle, not 2 s later.
    do {
        pump_.process();
        clock.sleepMs(20);
        reply = read();
        now = clock.tickCount();
    } while (reply.isEmpty() && now - start <= kReplyTimeoutMs && portOpen());

    if (reply.startsWith('O')) {
        app_.store.table.current().mode = mode;
        view_.setMode(app_.store.table.current().mode);
        app_.link.acceptedCommand = command;
        app_.link.lost.clear();
        app_.link.unanswered = false;
        enter(LinkPhase::SetUp,
              QStringLiteral("the tracker on COM %1 is set up for %2").arg(app_.link.portNumber).arg(mode));
    } else {
        app_.link.acceptedCommand.clear();
        app_.link.unanswered = true;
        enter(LinkPhase::Waiting, reply.isEmpty()
                                      ? QStringLiteral("no answer to the set-up within 2 s; it is sent again")
                                      : QStringLiteral("the tracker answered \"%1\" to the set-up; it is sent again")
                                            .arg(QString::fromLatin1(reply.trimmed())));
    }
    drain();
    if (view_.trackingStarted())
        write("S");
    else
        write("!");
}

QString describeLink(const AppContext& app)
{
    QStringList lines;
    for (int number = 1; number <= kLocationItems.size(); ++number) {
        const platform::PortDescription port = app.platform.serial->describe(number);
        if (port.device.isEmpty())
            lines << Texts::tr("COM %1: no device (%2)").arg(number).arg(port.why);
        else if (app.link.refusals.contains(number))
            lines << app.link.refusals.value(number);
        else
            lines << Texts::tr("COM %1: %2").arg(number).arg(port.device)
                         + (port.description.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(port.description));
    }
    const int at = app.link.portNumber;
    const QString settings = app.link.portSettings;
    switch (app.link.phase) {
    case LinkPhase::Closed:
        lines << Texts::tr("The link is closed.");
        break;
    case LinkPhase::Searching:
        lines << Texts::tr("Searching the ports for the tracker.");
        break;
    case LinkPhase::Waiting:
        lines << Texts::tr("COM %1 is open at %2, waiting for the tracker's answer.").arg(at).arg(settings);
        break;
    case LinkPhase::SetUp:
        lines << Texts::tr("The tracker on COM %1 is set up, at %2.").arg(at).arg(settings);
        break;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace corvane
