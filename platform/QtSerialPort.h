#pragma once
// The serial port over QSerialPort. Which device "COM n" stands for: the
// entries comN of the settings folder when there are any, else the ports the
// system lists, USB adapters first (PortMapping.h).
#include "platform/SerialPort.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QStringList>

namespace corvane::platform {

class QtSerialPort final : public SerialPort {
public:
    explicit QtSerialPort(QString settingsFolder);

    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    void setSettings(const QString& settings) override;
    QString settings() const override { return settings_; }
    PortDescription describe(int number) const override;

    void open() override;
    void close() override;
    bool isOpen() override;
    void output(const QByteArray& bytes) override;
    QByteArray input() override;

private:
    // The device that port `number` stands for; empty when there is none.
    QString deviceFor(int number, QString* why = nullptr) const;
    const QList<QSerialPortInfo>& listedPorts() const;
    void lost();
    void requireOpen() const;

    QString folder_;
    QSerialPort port_;
    mutable QList<QSerialPortInfo> ports_;
    mutable QElapsedTimer portsListed_;
    int number_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    qint32 baud_ = 9600;
    QSerialPort::Parity parity_ = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits_ = QSerialPort::Data8;
    QSerialPort::StopBits stopBits_ = QSerialPort::OneStop;
};

} // namespace corvane::platform
