#include "platform/QtSerialPort.h"

#include "core/Fault.h"
#include "platform/PortMapping.h"
#include "platform/SerialDevice.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace corvane::platform {

namespace {

constexpr int kFaultPortUnavailable = 8002;
constexpr int kFaultPortAlreadyOpen = 8005;
constexpr int kFaultPortClosed = 8018;

} // namespace

QtSerialPort::QtSerialPort(QString settingsFolder, QStringList givenPorts)
    : folder_(std::move(settingsFolder)), givenPorts_(std::move(givenPorts))
{
    // A device that goes away (a pulled cable) shows up as a resource error while
    // events are processed; the port is then closed and reported closed.
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError && port_.isOpen())
            lost(QStringLiteral("the device has gone"));
    });
    if (givenPorts_.isEmpty())
        watch_ = std::make_unique<SerialDeviceWatch>([this] { portsChanged_ = announced_ = true; });
}

QtSerialPort::~QtSerialPort() = default;

void QtSerialPort::setSettings(const QString& settings)
{
    const QStringList parts = settings.split(QLatin1Char(','));
    bool ok = parts.size() == 4;
    qint32 baud = 0;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits bits = QSerialPort::Data8;
    QSerialPort::StopBits stop = QSerialPort::OneStop;
    if (ok) {
        baud = parts[0].trimmed().toInt(&ok);
        ok = ok && baud > 0;
        const QString p = parts[1].trimmed().toLower();
        if (p == QLatin1String("n"))
            parity = QSerialPort::NoParity;
        else if (p == QLatin1String("e"))
            parity = QSerialPort::EvenParity;
        else if (p == QLatin1String("o"))
            parity = QSerialPort::OddParity;
        else if (p == QLatin1String("m"))
            parity = QSerialPort::MarkParity;
        else if (p == QLatin1String("s"))
            parity = QSerialPort::SpaceParity;
        else
            ok = false;
        const int d = parts[2].trimmed().toInt();
        if (d >= 5 && d <= 8)
            bits = static_cast<QSerialPort::DataBits>(d);
        else
            ok = false;
        const QString s = parts[3].trimmed();
        if (s == QLatin1String("1"))
            stop = QSerialPort::OneStop;
        else if (s == QLatin1String("1.5"))
            stop = QSerialPort::OneAndHalfStop;
        else if (s == QLatin1String("2"))
            stop = QSerialPort::TwoStop;
        else
            ok = false;
    }
    if (!ok)
        throw Fault{kFaultInvalidValue, QStringLiteral("Invalid line settings \"%1\"").arg(settings)};
    settings_ = settings;
    baud_ = baud;
    parity_ = parity;
    dataBits_ = bits;
    stopBits_ = stop;
}

QList<PortEntry> QtSerialPort::entries() const
{
    // The comN entries of the folder, dangling links included.
    QList<PortEntry> found;
    for (const QFileInfo& entry : QDir(folder_).entryInfoList({QStringLiteral("com*")}, QDir::AllEntries | QDir::System)) {
        bool isNumber = false;
        const int n = entry.fileName().mid(3).toInt(&isNumber);
        if (isNumber && entry.fileName().mid(3) == QString::number(n))
            found.append({n, entry.filePath(), entry.exists() ? entry.canonicalFilePath() : QString()});
    }
    return found;
}

QStringList QtSerialPort::listed() const
{
    QStringList out;
    if (!givenPorts_.isEmpty()) {
        // No announcements come for these: they are looked at each time.
        for (const QString& path : givenPorts_)
            if (QFileInfo::exists(path))
                out.append(path);
        return out;
    }
    for (const QSerialPortInfo& port : systemPorts())
        out.append(port.systemLocation());
    return out;
}

QString QtSerialPort::deviceFor(int number, QString* why) const
{
    const QList<PortEntry> found = entries();
    const PortDevice port = portDevice(number, found.isEmpty() ? listed() : QStringList(), found);
    if (why)
        *why = port.why;
    return port.device;
}

PortDescription QtSerialPort::describe(int number) const
{
    PortDescription out;
    out.device = deviceFor(number, &out.why);
    for (const QSerialPortInfo& port : systemPorts())
        if (port.systemLocation() == out.device)
            out.description = port.description();
    return out;
}

const QList<QSerialPortInfo>& QtSerialPort::systemPorts() const
{
    // Listing the ports walks the system's device tables: it is done again
    // when udev announces a change, or, where nothing is announced, when the
    // list is older than two seconds.
    if (!givenPorts_.isEmpty())
        return ports_;
    const bool announced = watch_ && watch_->watching();
    if (announced ? portsChanged_ : !portsListed_.isValid() || portsListed_.hasExpired(2000)) {
        ports_ = QSerialPortInfo::availablePorts();
        portsListed_.start();
        portsChanged_ = false;
    }
    return ports_;
}

void QtSerialPort::recheck()
{
    rechecked_.start();
    announced_ = false;
    if (hungUp(port_.handle())) {
        lost(QStringLiteral("the device has gone"));
        return;
    }
    const QList<PortEntry> found = entries();
    const QString why = closingReason(opened_, found.isEmpty() ? listed() : QStringList(), found);
    if (!why.isEmpty()) {
        close();
        whyClosed_ = why;
    }
}

void QtSerialPort::lost(const QString& why)
{
    // A read or write error means the device has gone: the port is closed and
    // reports closed from now on, so the link searches for it again.
    port_.clearError();
    if (port_.isOpen())
        port_.close();
    whyClosed_ = why;
}

void QtSerialPort::requireOpen() const
{
    if (!port_.isOpen())
        throw Fault{kFaultPortClosed, QStringLiteral("Operation valid only when the port is open")};
}

void QtSerialPort::open()
{
    if (port_.isOpen())
        throw Fault{kFaultPortAlreadyOpen, QStringLiteral("Port already open")};
    QString why;
    const QString device = deviceFor(number_, &why);
    if (device.isEmpty())
        throw Fault{kFaultPortUnavailable, QStringLiteral("COM %1 is not available: %2").arg(number_).arg(why)};
    port_.setPortName(device);
    port_.setBaudRate(baud_);
    port_.setParity(parity_);
    port_.setDataBits(dataBits_);
    port_.setStopBits(stopBits_);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        QString reason = port_.errorString();
        if (port_.error() == QSerialPort::PermissionError) {
            if (const QString advice = permissionAdvice(device); !advice.isEmpty())
                reason = QStringLiteral("permission denied; ") + advice;
        }
        port_.clearError();
        throw Fault{kFaultPortUnavailable, QStringLiteral("COM %1 (%2) cannot be opened: %3").arg(number_).arg(device, reason)};
    }
    // Some trackers take their power from the modem lines. A device that has
    // none (a pseudo-terminal, some adapters) refuses; that is not an error.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.clearError();
    opened_ = {number_, device, false};
    whyClosed_.clear();
    rechecked_.start();
}

void QtSerialPort::close()
{
    if (port_.isOpen()) {
        // The last bytes (the tracker's stop and reset) leave at the speed in use.
        if (port_.bytesToWrite() > 0)
            port_.waitForBytesWritten(500);
        drainOutput(port_.handle());
        port_.close();
    }
    port_.clearError();
    whyClosed_.clear();
}

bool QtSerialPort::isOpen()
{
    // Asked many times a cycle: the device is looked at again every quarter
    // of a second, and at once after udev announced a change.
    if (port_.isOpen() && (announced_ || rechecked_.hasExpired(250)))
        recheck();
    return port_.isOpen();
}

void QtSerialPort::output(const QByteArray& bytes)
{
    requireOpen();
    // QSerialPort holds written data until its notifier runs; push it out now.
    const bool written = port_.write(bytes) == bytes.size() && port_.flush();
    if (port_.bytesToWrite() > 0)
        port_.waitForBytesWritten(500);
    if (port_.error() == QSerialPort::TimeoutError)
        port_.clearError();
    if (!written || port_.error() != QSerialPort::NoError)
        lost(QStringLiteral("the device has gone"));
}

QByteArray QtSerialPort::input()
{
    requireOpen();
    // Collect what the device has sent without waiting; a poll that finds
    // nothing reports a timeout, which is not an error.
    port_.waitForReadyRead(0);
    if (port_.error() == QSerialPort::TimeoutError)
        port_.clearError();
    QByteArray received = port_.readAll();
    if (port_.error() != QSerialPort::NoError || !port_.isOpen())
        lost(QStringLiteral("the device has gone"));
    if (!received.isEmpty())
        opened_.answered = true;
    return received;
}

} // namespace corvane::platform
