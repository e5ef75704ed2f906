#include "platform/LinuxSerialPort.h"

#include "core/Fault.h"
#include "platform/PortMapping.h"
#include "platform/SerialDevice.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::LinuxSerialPort".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::LinuxSerialPort)
};

constexpr int kFaultPortUnavailable = 8002;
constexpr int kFaultPortAlreadyOpen = 8005;
constexpr int kFaultPortClosed = 8018;

} // namespace

LinuxSerialPort::LinuxSerialPort(QString settingsFolder, QStringList givenPorts, QString lockDirectory)
    : folder_(std::move(settingsFolder)), givenPorts_(portOrder(std::move(givenPorts))), line_(std::move(lockDirectory))
{
    if (givenPorts_.isEmpty())
        watch_ = std::make_unique<SerialDeviceWatch>([this] { portsChanged_ = announced_ = true; });
}

LinuxSerialPort::~LinuxSerialPort()
{
    if (folderFd_ >= 0)
        ::close(folderFd_);
}

std::optional<LineSettings> lineSettingsOf(QStringView text)
{
    // Read in place: the search sets the settings ten times a second.
    const QList<QStringView> parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings line;
    bool ok = false;
    line.baud = parts[0].trimmed().toInt(&ok);
    const QStringView parity = parts[1].trimmed();
    ok = ok && line.baud > 0 && parity.size() == 1 && QStringView(u"neomsNEOMS").contains(parity[0]);
    line.parity = ok ? parity[0].toLower().toLatin1() : 'n';
    line.dataBits = parts[2].trimmed().toInt();
    ok = ok && line.dataBits >= 5 && line.dataBits <= 8;
    const QStringView stop = parts[3].trimmed();
    ok = ok && (stop == u"1" || stop == u"1.5" || stop == u"2");
    line.twoStopBits = stop != u"1";
    return ok ? std::optional(line) : std::nullopt;
}

void LinuxSerialPort::setSettings(const QString& settings)
{
    const std::optional<LineSettings> line = lineSettingsOf(settings);
    if (!line)
        throw Fault{kFaultInvalidValue, Texts::tr("Invalid line settings \"%1\"").arg(settings)};
    settings_ = settings;
    lineSettings_ = *line;
}

const QList<PortEntry>& LinuxSerialPort::entryNames() const
{
    // The comN entries of the folder, dangling links included, without where
    // they lead. The folder is listed again only when it has changed: its
    // modification time differs, or it was so recent when the folder was last
    // listed that a change within the same tick of the file system's clock
    // would not show.
    struct stat folder {};
    const int handle = folderHandle();
    const bool seen = handle >= 0 ? ::fstat(handle, &folder) == 0
                                  : ::stat(QFile::encodeName(folder_).constData(), &folder) == 0;
    const qint64 stamp = seen ? qint64(folder.st_mtim.tv_sec) * 1'000'000'000 + folder.st_mtim.tv_nsec : -1;
    if (seen && stamp == entriesStamp_ && entriesSettled_)
        return entryNames_;
    entriesStamp_ = stamp;
    entriesSettled_ = seen && QDateTime::currentMSecsSinceEpoch() - stamp / 1'000'000 > 1000;
    // The names are compared as they are, which costs less than a name filter
    // (a regular expression each time).
    entryNames_.clear();
    QDirIterator names(folder_, QDir::AllEntries | QDir::System);
    while (names.hasNext()) {
        names.next();
        const QString name = names.fileName();
        bool isNumber = false;
        const int n = name.startsWith(QLatin1String("com")) ? name.mid(3).toInt(&isNumber) : 0;
        if (isNumber && name.mid(3) == QString::number(n))
            entryNames_.append({n, names.filePath(), {}});
    }
    std::sort(entryNames_.begin(), entryNames_.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.path < b.path; });
    return entryNames_;
}

QList<PortEntry> LinuxSerialPort::entries(int number) const
{
    // Where each leads (or only comN, for `number`) is looked at each time:
    // a device comes and goes without the folder changing.
    QList<PortEntry> found = entryNames();
    const int handle = folderHandle();
    for (PortEntry& entry : found) {
        if (number == 0 || entry.number == number) {
            const bool leads = handle >= 0 ? ::faccessat(handle, "com" + QByteArray::number(entry.number), F_OK, 0) == 0
                                           : QFileInfo::exists(entry.path);
            entry.target = leads ? QFileInfo(entry.path).canonicalFilePath() : QString();
        }
    }
    return found;
}

int LinuxSerialPort::folderHandle() const
{
    // The folder is kept open, so that an entry is looked up by its own name
    // alone, and its path is looked up once a second at most: a folder put in
    // the place of another is taken within that second.
    if (folderFd_ >= 0 && !folderChecked_.hasExpired(kRecheckMs))
        return folderFd_;
    folderChecked_.start();
    const QByteArray path = QFile::encodeName(folder_);
    struct stat byPath {
    }, held{};
    const bool there = ::stat(path.constData(), &byPath) == 0;
    if (folderFd_ >= 0
        && !(there && ::fstat(folderFd_, &held) == 0 && held.st_dev == byPath.st_dev && held.st_ino == byPath.st_ino)) {
        ::close(folderFd_);
        folderFd_ = -1;
    }
    if (folderFd_ < 0 && there)
        folderFd_ = ::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folderFd_;
}

const QStringList& LinuxSerialPort::listed() const
{
    if (!givenPorts_.isEmpty())
        return givenPorts_;
    systemPorts();
    return portsOrdered_;
}

PortThere LinuxSerialPort::there() const
{
    // The system lists the ports that are there; given ones are looked at.
    if (givenPorts_.isEmpty())
        return {};
    return [](const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0;
    };
}

QString LinuxSerialPort::deviceFor(int number, QString* why) const
{
    const QList<PortEntry> found = entries(number);
    const PortDevice port = portDevice(number, found.isEmpty() ? listed() : QStringList(), found, there());
    if (why)
        *why = port.why;
    return port.device;
}

PortDescription LinuxSerialPort::describe(int number) const
{
    PortDescription out;
    out.device = deviceFor(number, &out.why);
    for (const QSerialPortInfo& port : systemPorts())
        if (port.systemLocation() == out.device)
            out.description = port.description();
    return out;
}

const QList<QSerialPortInfo>& LinuxSerialPort::systemPorts() const
{
    // Listing the ports walks the system's device tables (15 ms and more): it
    // is done again when udev announces a change, or, where nothing is
    // announced, when a device node was added to /dev or removed from it.
    if (!givenPorts_.isEmpty())
        return ports_;
    if (!(watch_ && watch_->watching())) {
        const qint64 stamp = deviceFolderStamp();
        portsChanged_ = portsChanged_ || stamp != devStamp_;
        devStamp_ = stamp;
    }
    if (portsChanged_) {
        ports_ = QSerialPortInfo::availablePorts();
        portsOrdered_.clear();
        for (const QSerialPortInfo& port : ports_)
            portsOrdered_.append(port.systemLocation());
        portsOrdered_ = portOrder(portsOrdered_);
        portsChanged_ = false;
    }
    return ports_;
}

void LinuxSerialPort::recheck()
{
    hungUpChecked_.start();
    if (hungUp(line_.handle())) {
        lost(Texts::tr("the device has gone"));
        return;
    }
    if (!announced_ && !rechecked_.hasExpired(kRecheckMs))
        return;
    rechecked_.start();
    announced_ = false;
    const QList<PortEntry> found = entries();
    const QString why = closingReason(opened_, found.isEmpty() ? listed() : QStringList(), found, there());
    if (!why.isEmpty()) {
        close();
        whyClosed_ = why;
    }
}

void LinuxSerialPort::lost(const QString& why)
{
    // A read or write error means the device has gone: the port is closed and
    // reports closed from now on, so the link searches for it again.
    line_.close(false);
    whyClosed_ = why;
}

void LinuxSerialPort::requireOpen() const
{
    if (!line_.isOpen())
        throw Fault{kFaultPortClosed, Texts::tr("Operation valid only when the port is open")};
}

QString LinuxSerialPort::openOrSay(int* fault)
{
    *fault = kFaultPortUnavailable;
    if (line_.isOpen()) {
        *fault = kFaultPortAlreadyOpen;
        return Texts::tr("Port already open");
    }
    QString why;
    const QString device = deviceFor(number_, &why);
    if (device.isEmpty())
        return Texts::tr("COM %1 is not available: %2").arg(number_).arg(why);
    if (const QString refusal = line_.open(device, lineSettings_); !refusal.isEmpty())
        return Texts::tr("COM %1 (%2) cannot be opened: %3").arg(number_).arg(device, refusal);
    opened_ = {number_, device, false};
    whyClosed_.clear();
    rechecked_.start();
    hungUpChecked_.start();
    return {};
}

void LinuxSerialPort::open()
{
    int fault = 0;
    if (const QString why = openOrSay(&fault); !why.isEmpty())
        throw Fault{fault, why};
}

QString LinuxSerialPort::tryOpen()
{
    int fault = 0;
    return openOrSay(&fault);
}

void LinuxSerialPort::close()
{
    // The last bytes (the tracker's stop and reset) leave at the speed in use.
    line_.close(true);
    whyClosed_.clear();
}

bool LinuxSerialPort::isOpen()
{
    // Asked many times a cycle: whether the device hung up is looked at every
    // quarter of a second; what COM n stands for (which lists the folder and
    // the ports) every second, and at once after udev announced a change.
    if (line_.isOpen() && (announced_ || hungUpChecked_.hasExpired(kHangUpCheckMs)))
        recheck();
    return line_.isOpen();
}

void LinuxSerialPort::output(const QByteArray& bytes)
{
    requireOpen();
    if (!line_.write(bytes))
        lost(Texts::tr("the device has gone"));
}

QByteArray LinuxSerialPort::input()
{
    requireOpen();
    bool failed = false;
    QByteArray received = line_.read(&failed);
    if (failed)
        lost(Texts::tr("the device has gone"));
    if (!received.isEmpty())
        opened_.answered = true;
    return received;
}

} // namespace corvane::platform
