#pragma once
// The serial port on Linux: a terminal device (SerialDevice.h), found among
// the ports that QSerialPortInfo lists. Which device "COM n" stands for: the
// entries comN of the settings folder when there are any, else the ports the
// system lists, USB adapters first (PortMapping.h). When that changes under an
// open port (an adapter pulled or plugged in), the port closes as if its
// device had gone, so that the link searches again.
#include "platform/PortMapping.h"
#include "platform/SerialDevice.h"
#include "platform/SerialPort.h"

#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <QStringList>

#include <memory>

namespace corvane::platform {

class LinuxSerialPort final : public SerialPort {
public:
    // `givenPorts`, when not empty, are the device paths taken as the ports
    // the system lists, for devices it does not list (pseudo-terminals):
    // those of them that exist at the time, ordered by the same rule. They
    // are ordered once, here; they come and go unannounced, so each time a
    // port is wanted they are looked at in order, up to the one wanted.
    // Other programs' lock files are looked for in `lockDirectory`.
    explicit LinuxSerialPort(QString settingsFolder, QStringList givenPorts = {},
                             QString lockDirectory = QStringLiteral("/var/lock"));
    ~LinuxSerialPort() override;
    LinuxSerialPort(const LinuxSerialPort&) = delete;
    LinuxSerialPort& operator=(const LinuxSerialPort&) = delete;

    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    void setSettings(const QString& settings) override;
    QString settings() const override { return settings_; }
    PortDescription describe(int number) const override;

    void open() override;
    QString tryOpen() override;
    void close() override;
    bool isOpen() override;
    QString whyClosed() const override { return whyClosed_; }
    void output(const QByteArray& bytes) override;
    QByteArray input() override;

private:
    // The device that port `number` stands for; empty when there is none.
    QString deviceFor(int number, QString* why = nullptr) const;
    // The folder's comN entries; each with where it leads, or only comN for a `number`.
    QList<PortEntry> entries(int number = 0) const;
    const QList<PortEntry>& entryNames() const;
    // The settings folder, open; -1 when it cannot be opened.
    int folderHandle() const;
    // The device paths of the listed ports, or of the given ones, in order;
    // with whether each is there now.
    const QStringList& listed() const;
    PortThere there() const;
    const QList<QSerialPortInfo>& systemPorts() const;
    // Closes the open port when its device has gone or COM n stands for another one.
    void recheck();
    void lost(const QString& why);
    void requireOpen() const;
    // Opens the port; empty text, or why not and the fault's number.
    QString openOrSay(int* fault);

    QString folder_;
    const QStringList givenPorts_;
    SerialLine line_;
    std::unique_ptr<SerialDeviceWatch> watch_;
    mutable QList<PortEntry> entryNames_;
    mutable qint64 entriesStamp_ = -1; // the folder's modification time when last listed
    mutable bool entriesSettled_ = false;
    mutable int folderFd_ = -1;
    mutable QElapsedTimer folderChecked_; // when its path was last seen to lead to it
    mutable QList<QSerialPortInfo> ports_;
    mutable QStringList portsOrdered_;
    mutable bool portsChanged_ = true; // the list is to be taken afresh
    mutable qint64 devStamp_ = 0;      // when /dev last changed, as last seen
    bool announced_ = false;           // a change came since the last recheck
    // The open port: its number and device, and whether it has answered.
    OpenPort opened_;
    static constexpr qint64 kHangUpCheckMs = 250;
    static constexpr qint64 kRecheckMs = 1000;
    QElapsedTimer hungUpChecked_;
    QElapsedTimer rechecked_;
    QString whyClosed_;
    int number_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    LineSettings lineSettings_;
};

} // namespace corvane::platform
