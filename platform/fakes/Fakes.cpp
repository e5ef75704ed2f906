#include "platform/fakes/Fakes.h"

#include <libevdev/libevdev.h>

#include "core/Fault.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

namespace corvane::platform::fakes {

namespace {
// In the order of the enumerations.
const char* const kButtonsText[] = {"OK", "OK/Cancel", "Yes/No"};
const char* const kAnswerText[] = {"OK", "Cancel", "Yes", "No"};
} // namespace

QStringList Log::matching(const QString& prefix) const
{
    QStringList out;
    for (const QString& l : lines_)
        if (l.startsWith(prefix))
            out.append(l);
    return out;
}

void FakeClock::sleepMs(int ms)
{
    sleeps_.append(ms);
    if (log_ && logSleeps_)
        log_->add(QStringLiteral("sleep %1").arg(ms));
    const qint64 target = nowMs_ + (ms > 0 ? ms : 0);
    // Run every action due up to the end of this sleep, in time order; an action
    // may schedule more.
    while (!actions_.empty() && actions_.begin()->first <= target) {
        auto node = actions_.extract(actions_.begin());
        if (node.key() > nowMs_)
            nowMs_ = node.key();
        // What happens during a sleep arrives as an event: it runs at the next
        // event-processing point, as a click or a close would.
        if (QCoreApplication::instance())
            QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(node.mapped()), Qt::QueuedConnection);
        else
            node.mapped()();
    }
    nowMs_ = target > nowMs_ ? target : nowMs_;
}

Answer FakeDialogs::message(const QString& text, const QString& title, Buttons buttons)
{
    Answer a = buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    if (!answers_.isEmpty())
        a = answers_.takeFirst();
    boxes.append({text, title, buttons, {}, ownerTitle()});
    QString flat = text;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    log_.add(QStringLiteral("message \"%1\" [%2]: %3 -> %4")
                 .arg(title, QLatin1String(kButtonsText[int(buttons)]), flat, QLatin1String(kAnswerText[int(a)])));
    return a;
}

int FakeDialogs::choose(const QString& text, const QString& title, const QStringList& choices, int defaultChoice)
{
    const int picked = picks_.isEmpty() ? defaultChoice : picks_.takeFirst();
    QStringList marked = choices;
    if (defaultChoice >= 0 && defaultChoice < marked.size())
        marked[defaultChoice] += u'*';
    boxes.append({text, title, Buttons::Ok, marked, ownerTitle()});
    QString flat = text;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    log_.add(QStringLiteral("choose \"%1\" [%2]: %3 -> %4").arg(title, marked.join(u'/'), flat, choices.value(picked)));
    return picked;
}

QString FakeDialogs::ownerTitle() const { return owner_ ? owner_->windowTitle() : QString(); }

QString FakeDialogs::input(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    const QString answer = typed_.isEmpty() ? QString() : typed_.takeFirst();
    QString flat = prompt;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    log_.add(QStringLiteral("input \"%1\" [%2]: %3 -> \"%4\"").arg(title, defaultAnswer, flat, answer));
    return answer;
}

void FakeProcess::endProgram(int s)
{
    log_.add(QStringLiteral("end %1").arg(s));
    status = s;
    ended_ = true;
}

namespace {
QString visible(const QByteArray& bytes)
{
    QString out = QString::fromLatin1(bytes);
    out.replace(QLatin1Char('\r'), QStringLiteral("<CR>"));
    return out;
}
} // namespace

PortDescription FakeSerialPort::describe(int number) const
{
    if (number >= 1 && number <= ports)
        return {QStringLiteral("/dev/ttyFAKE%1").arg(number), {}, {}};
    return {{}, {}, QStringLiteral("the system lists %1 serial port(s)").arg(ports)};
}

void FakeSerialPort::open()
{
    const QString what = QStringLiteral("open COM%1 %2").arg(number_).arg(settings_);
    if (open_)
        throw Fault{8005, QStringLiteral("Port already open")};
    if (openable_.first != number_ || openable_.second != settings_) {
        log_.add(what + QStringLiteral(" failed"));
        throw Fault{8002, QStringLiteral("COM %1 cannot be opened: %2").arg(number_).arg(refusal)};
    }
    log_.add(what);
    open_ = true;
    whyClosed_.clear();
}

void FakeSerialPort::close()
{
    if (open_)
        log_.add(QStringLiteral("close"));
    open_ = false;
    whyClosed_.clear();
}

void FakeSerialPort::output(const QByteArray& bytes)
{
    if (!open_)
        throw Fault{8018, QStringLiteral("Operation valid only when the port is open")};
    log_.add(QStringLiteral("write ") + visible(bytes));
    if (bytes.startsWith("!M") && !ackReply.isEmpty())
        pending_ += ackReply;
    if (onWrite)
        onWrite(bytes);
}

QByteArray FakeSerialPort::input()
{
    if (!open_)
        throw Fault{8018, QStringLiteral("Operation valid only when the port is open")};
    QByteArray out;
    out.swap(pending_);
    return out;
}

void FakeSerialPort::vanish()
{
    log_.add(QStringLiteral("device gone"));
    open_ = false;
    openable_ = {0, {}};
    pending_.clear();
    whyClosed_ = QStringLiteral("the device has gone");
}

void FakeSerialPort::leave(const QString& why)
{
    log_.add(QStringLiteral("left: ") + why);
    open_ = false;
    pending_.clear();
    whyClosed_ = why;
}

void FakeNotifier::notify(const QString& summary, const QString& body, bool problem)
{
    QString flat = body;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    log_.add(QStringLiteral("notify %1: %2%3").arg(summary, flat, problem ? QStringLiteral(" [problem]") : QString()));
}

namespace {
const char* const kMouseButtonText[] = {"left", "right", "middle"};
} // namespace

void FakeKeyOutput::buttonDown(MouseButton button)
{
    record(QStringLiteral("button down ") + QLatin1String(kMouseButtonText[static_cast<int>(button)]));
}

void FakeKeyOutput::buttonUp(MouseButton button)
{
    record(QStringLiteral("button up ") + QLatin1String(kMouseButtonText[static_cast<int>(button)]));
}

void FakeKeyOutput::record(const QString& line)
{
    log_.add(line);
    if (onEvent)
        onEvent(line);
}

void FakeKeyState::snapshot()
{
    seen_ = held_;
    seen_.insert(tapped_.begin(), tapped_.end());
    tapped_.clear();
    queried.clear();
}

bool FakeKeyState::isDown(int virtualKey) const
{
    queried.append(virtualKey);
    if (onAsked)
        onAsked(virtualKey);
    return seen_.count(virtualKey) > 0;
}

FakePlatform::FakePlatform()
{
    platform.clock = std::make_unique<FakeClock>(&log);
    platform.dialogs = std::make_unique<FakeDialogs>(log);
    platform.shell = std::make_unique<FakeShell>(log);
    platform.process = std::make_unique<FakeProcess>(log);
    platform.serial = std::make_unique<FakeSerialPort>(log);
    platform.pointer = std::make_unique<FakePointer>(log);
    platform.keys = std::make_unique<FakeKeyOutput>(log);
    platform.keyState = std::make_unique<FakeKeyState>();
    platform.notifier = std::make_unique<FakeNotifier>(log);
    platform.joystick = std::make_unique<FakeJoystick>(log);
    // The fakes stand for the kernel's devices, which reach every program.
    platform.input.output = OutputBackend::Uinput;
    platform.input.keys = KeyStateBackend::Evdev;
}

QString FakeJoystick::open()
{
    if (made_ || !refusal.isEmpty())
        return refusal;
    made_ = true;
    at_ = {};
    log_.add(QStringLiteral("joystick made"));
    return {};
}

void FakeJoystick::move(const JoystickAxes& axes)
{
    if (!made_ || axes == at_)
        return;
    at_ = axes;
    log_.add(QStringLiteral("joystick %1,%2,%3").arg(axes.turn).arg(axes.pitch).arg(axes.lean));
}

void FakeJoystick::close()
{
    move({});
    if (made_)
        log_.add(QStringLiteral("joystick gone"));
    made_ = false;
}

int RecordingInputDevice::write(unsigned type, unsigned code, int value)
{
    if (type == EV_SYN && code == SYN_REPORT)
        log_.add(QStringLiteral("SYN"));
    else
        log_.add(QStringLiteral("%1 %2").arg(QString::fromLatin1(libevdev_event_code_get_name(type, code))).arg(value));
    return 0;
}

} // namespace corvane::platform::fakes
