#pragma once
// Backends built on Qt alone, the same on every system.
#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

namespace corvane::platform {

class QtClock final : public Clock {
public:
    QtClock();
    void sleepMs(int ms) override;
    quint32 tickCount() override;
    qint64 wholeSecondsNow() override;

private:
    QElapsedTimer timer_;
};

class QtDialogs final : public Dialogs {
public:
    Answer message(const QString& text, const QString& title, Buttons buttons) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    int choose(const QString& text, const QString& title, const QStringList& choices, int defaultChoice) override;
    void setOwner(QWidget* window) override { owner_ = window; }

private:
    QPointer<QWidget> owner_;
};

class QtShell final : public Shell {
public:
    void open(const QString& address) override;
};

} // namespace corvane::platform
