#include "platform/QtDesktop.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QUrl>

namespace corvane::platform {

QtClock::QtClock() { timer_.start(); }

void QtClock::sleepMs(int ms)
{
    if (ms <= 0) {
        QThread::yieldCurrentThread();
        return;
    }
    QThread::msleep(static_cast<unsigned long>(ms));
}

quint32 QtClock::tickCount() { return static_cast<quint32>(timer_.elapsed()); }

qint64 QtClock::wholeSecondsNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toSecsSinceEpoch() + now.offsetFromUtc();
}

Answer QtDialogs::message(const QString& text, const QString& title, Buttons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, owner_);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

int QtDialogs::choose(const QString& text, const QString& title, const QStringList& choices, int defaultChoice)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, owner_);
    // One role for all keeps the buttons in the order given.
    QList<QPushButton*> buttons;
    for (const QString& choice : choices)
        buttons.append(box.addButton(choice, QMessageBox::ActionRole));
    box.setDefaultButton(buttons.value(defaultChoice));
    box.setEscapeButton(buttons.value(buttons.size() - 1));
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(owner_, title, prompt, QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? answer : QString();
}

void QtShell::open(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

} // namespace corvane::platform
