// corvane-bench-given-ports: what one step of the search for the tracker
// costs when CORVANE_SERIAL_PORTS gives thousands of device paths. The search
// tries COM 1 to 4, one a step, ten steps a second; a step asks the port for
// COM n's device and tries to open it.
//
//   corvane-bench-given-ports [--rounds N]
//
// The given paths are files in a folder of the benchmark's own, named as
// serial devices (ttyS0, ttyS1, ...). A step opens COM n, which opens the file
// and finds it is no serial port, as the search finds a port that is not the
// tracker's. Each row is timed N times (default 400), on the step's caller's
// side, in microseconds:
//   all there       every given path exists: COM n is the n-th
//   only the last   only the four that sort last exist: the worst case, where
//                   every path before them is looked at
#include "bench/timing.h"
#include "platform/LinuxSerialPort.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace corvane::platform;
using corvane::bench::measure;
using corvane::bench::printRow;

namespace {

// `count` paths in `folder`, of which `there` files exist: the first ones, or
// those that sort last.
QStringList givenPorts(const QString& folder, int count, int there, bool last)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("/ttyS%1").arg(i);
        paths.append(path);
        if (last ? i >= count - there : i < there) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                std::abort();
        }
    }
    return paths;
}

void row(const char* figure, int rounds, int count, bool last)
{
    QTemporaryDir folder, settings;
    LinuxSerialPort port(settings.path(), givenPorts(folder.path(), count, last ? 4 : count, last), settings.path());
    int number = 0;
    const auto step = [&] {
        port.setPortNumber(number % 4 + 1);
        port.setSettings(QStringLiteral("9600,n,8,1"));
        if (port.tryOpen().isEmpty())
            std::abort(); // a file is no serial port
        ++number;
    };
    char label[64];
    std::snprintf(label, sizeof label, "%s, %d given", figure, count);
    printRow(label, measure(rounds, step, [] {}));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int rounds = 400;
    if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0)
        rounds = std::max(1, std::atoi(argv[2]));
    std::printf("Corvane search step over given ports (us)\n\n%-44s %9s %9s %9s\n", "", "p50", "p99", "max");
    for (const int count : {50, 500, 5000}) {
        row("all there", rounds, count, false);
        row("only the last", rounds, count, true);
    }
    return 0;
}
