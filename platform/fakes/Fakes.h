#pragma once
// Recording fakes of the platform services: each writes what it was asked
// into a shared log as readable text, so a test reads like the behaviour it checks.
#include "platform/Platform.h"
#include "platform/UinputOutput.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace corvane::platform::fakes {

class Log {
public:
    void add(const QString& line) { lines_.append(line); }
    QStringList lines() const { return lines_; }
    QString joined(const QString& separator = QStringLiteral(", ")) const { return lines_.join(separator); }
    // Lines that start with the prefix.
    QStringList matching(const QString& prefix) const;
    void clear() { lines_.clear(); }

private:
    QStringList lines_;
};

// Time stands still until something sleeps. An action scheduled at a tick is
// posted as an event by the sleep that reaches it, and so runs at the next
// event-processing point (at once when there is no application object).
class FakeClock final : public Clock {
public:
    explicit FakeClock(Log* log = nullptr) : log_(log) {}
    void sleepMs(int ms) override;
    quint32 tickCount() override { return static_cast<quint32>(nowMs_); }
    qint64 wholeSecondsNow() override { return baseSeconds_ + nowMs_ / 1000; }

    void advance(qint64 ms) { nowMs_ += ms; }
    qint64 nowMs() const { return nowMs_; }
    void at(qint64 ms, std::function<void()> action) { actions_.emplace(ms, std::move(action)); }
    QList<int> sleeps() const { return sleeps_; }
    void setLogSleeps(bool on) { logSleeps_ = on; }

private:
    Log* log_;
    qint64 nowMs_ = 0;
    qint64 baseSeconds_ = 1'800'000'000;
    std::multimap<qint64, std::function<void()>> actions_;
    QList<int> sleeps_;
    bool logSleeps_ = false;
};

// Answers message boxes from a queue (Yes/OK when it is empty), choice boxes
// from another (the default choice when it is empty), and records each box as:
// message "Title" [Yes/No]: text -> Yes
// choose "Title" [Keep*/Quit]: text -> Quit   (* marks the default)
class FakeDialogs final : public Dialogs {
public:
    explicit FakeDialogs(Log& log) : log_(log) {}
    Answer message(const QString& text, const QString& title, Buttons buttons) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    int choose(const QString& text, const QString& title, const QStringList& choices, int defaultChoice) override;
    void setOwner(QWidget* window) override { owner_ = window; }

    void answer(Answer a) { answers_.append(a); }
    void pick(int choice) { picks_.append(choice); }
    void type(const QString& text) { typed_.append(text); } // next input box answer; empty = Cancel
    struct Box {
        QString text, title;
        Buttons buttons;
        QStringList choices; // a choice box's, with the default marked "*"
        QString over;        // the owner window's title; empty when there is none
    };
    QList<Box> boxes;

private:
    QString ownerTitle() const;
    Log& log_;
    QList<Answer> answers_;
    QList<int> picks_;
    QStringList typed_;
    QPointer<QWidget> owner_;
};

class FakeShell final : public Shell {
public:
    explicit FakeShell(Log& log) : log_(log) {}
    void open(const QString& address) override { log_.add(QStringLiteral("open ") + address); }

private:
    Log& log_;
};

class FakeProcess final : public Process {
public:
    explicit FakeProcess(Log& log) : log_(log) {}
    void raisePriority() override { log_.add(QStringLiteral("raise priority")); }
    bool haveFreeFileHandle() override { return freeFileHandles; }
    void endProgram(int status) override;
    bool ended() const override { return ended_; }
    void whenAskedToEnd(std::function<void()> handler) override { endHandler_ = std::move(handler); }
    // As the system's request to end arrives.
    void askToEnd()
    {
        if (endHandler_)
            endHandler_();
    }
    void whenEndedAbruptly(std::function<void(const QString&)> handler) override
    {
        abruptHandler_ = std::move(handler);
    }
    // As a library ends the program (the display has gone); false when nothing is armed.
    bool endAbruptly(const QString& why)
    {
        if (!abruptHandler_)
            return false;
        abruptHandler_(why);
        return true;
    }

    bool freeFileHandles = true;
    int status = -1;

private:
    Log& log_;
    bool ended_ = false;
    std::function<void()> endHandler_;
    std::function<void(const QString&)> abruptHandler_;
};

// A serial port with a scripted device behind it. Records
// "open COM1 19200,n,8,1", "open COM2 9600,n,8,1 failed", "write !",
// "write !M3,0,A,2,4,1,3<CR>" and "close"; reads are not logged.
class FakeSerialPort final : public SerialPort {
public:
    explicit FakeSerialPort(Log& log) : log_(log) {}
    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    void setSettings(const QString& settings) override { settings_ = settings; }
    QString settings() const override { return settings_; }
    // COM n is "/dev/ttyFAKE<n>" up to `ports`, without a description.
    PortDescription describe(int number) const override;
    void open() override;
    void close() override;
    bool isOpen() override { return open_; }
    QString whyClosed() const override { return whyClosed_; }
    void output(const QByteArray& bytes) override;
    QByteArray input() override;

    // Which port and settings open; all others fail. Empty: nothing opens.
    void openOnly(int number, const QString& settings) { openable_ = {number, settings}; }
    int ports = 4;
    // Why the devices that do not open refuse; the text of the open's fault.
    QString refusal = QStringLiteral("busy");
    // What the device answers to a set-up command (a write starting with "!M"); empty: no answer.
    QByteArray ackReply = "OK\r";
    // Bytes waiting to be read.
    void receive(const QByteArray& bytes) { pending_ += bytes; }
    // Called after every write, with the bytes written.
    std::function<void(const QByteArray&)> onWrite;
    // The device goes away: the port reports closed and nothing opens.
    void vanish();
    // COM n comes to stand for another device: the port reports closed, for `why`.
    void leave(const QString& why);

private:
    Log& log_;
    int number_ = 1;
    QString settings_;
    bool open_ = false;
    QString whyClosed_;
    std::pair<int, QString> openable_{0, {}};
    QByteArray pending_;
};

// Records "notify Tracker lost: the body", with " [problem]" after a problem's.
class FakeNotifier final : public Notifier {
public:
    explicit FakeNotifier(Log& log) : log_(log) {}
    void notify(const QString& summary, const QString& body, bool problem) override;

private:
    Log& log_;
};

// Records "move dx,dy".
class FakePointer final : public PointerOutput {
public:
    explicit FakePointer(Log& log) : log_(log) {}
    void moveRelative(int dx, int dy) override { log_.add(QStringLiteral("move %1,%2").arg(dx).arg(dy)); }

private:
    Log& log_;
};

// Records "joystick made", "joystick 120,-40,0" (turn, pitch, lean; only a
// change) and "joystick gone". With `refusal` set, it cannot be made.
class FakeJoystick final : public JoystickOutput {
public:
    explicit FakeJoystick(Log& log) : log_(log) {}
    QString open() override;
    void move(const JoystickAxes& axes) override;
    void close() override;
    QString refusal;
    bool made() const { return made_; }

private:
    Log& log_;
    bool made_ = false;
    JoystickAxes at_;
};

// Records "down 160", "up 160", "button down left", "button up left" and
// "type A".
class FakeKeyOutput final : public KeyOutput {
public:
    explicit FakeKeyOutput(Log& log) : log_(log) {}
    void keyDown(int virtualKey) override { record(QStringLiteral("down %1").arg(virtualKey)); }
    void keyUp(int virtualKey) override { record(QStringLiteral("up %1").arg(virtualKey)); }
    void buttonDown(MouseButton button) override;
    void buttonUp(MouseButton button) override;
    void typeCharacter(char32_t character) override
    {
        record(QStringLiteral("type ") + QString::fromUcs4(&character, 1));
    }
    // Called after every event, with its log line: a test can act between two events.
    std::function<void(const QString&)> onEvent;

private:
    void record(const QString& line);
    Log& log_;
};

// A keyboard the test presses and releases; not logged. A tapped key was
// pressed and released since the last snapshot.
class FakeKeyState final : public KeyState {
public:
    void snapshot() override;
    bool isDown(int virtualKey) const override;

    void press(int virtualKey) { held_.insert(virtualKey); }
    void release(int virtualKey) { held_.erase(virtualKey); }
    void tap(int virtualKey) { tapped_.insert(virtualKey); }
    // The codes asked about since the last snapshot, in the order asked.
    mutable QList<int> queried;
    // Runs as each code is asked about.
    std::function<void(int)> onAsked;

private:
    std::set<int> held_, tapped_, seen_;
};

// An input device that records each event by its kernel name and value,
// "REL_X 5", "KEY_LEFTSHIFT 1", and a frame's end as "SYN".
class RecordingInputDevice final : public InputDevice {
public:
    explicit RecordingInputDevice(Log& log) : log_(log) {}
    int write(unsigned type, unsigned code, int value) override;

private:
    Log& log_;
};

// A whole platform of fakes sharing one log.
struct FakePlatform {
    FakePlatform();
    Log log;
    Platform platform;
    FakeClock& clock() { return static_cast<FakeClock&>(*platform.clock); }
    FakeDialogs& dialogs() { return static_cast<FakeDialogs&>(*platform.dialogs); }
    FakeProcess& process() { return static_cast<FakeProcess&>(*platform.process); }
    FakeSerialPort& serial() { return static_cast<FakeSerialPort&>(*platform.serial); }
    FakeKeyOutput& keys() { return static_cast<FakeKeyOutput&>(*platform.keys); }
    FakeKeyState& keyState() { return static_cast<FakeKeyState&>(*platform.keyState); }
    FakeNotifier& notifier() { return static_cast<FakeNotifier&>(*platform.notifier); }
    FakeJoystick& joystick() { return static_cast<FakeJoystick&>(*platform.joystick); }
};

} // namespace corvane::platform::fakes
