// What damaged input costs. A profiles file can hold anything: a field of a
// million key tokens, megabytes of commas. Each case below is run at growing
// sizes, each size in a child process of its own, so that its peak resident
// memory can be read from the system; the time is taken inside the child.
//
//   keys      a key sequence that keeps many keys down: N down tokens, then N
//             up tokens of a code that is not down; converted to send-keys
//             text and rendered into the labels of a mapping box
//   commas    a profiles file of N bytes, all commas, read
//
// Each case also runs with no input, and the memory of a size is its peak
// above that. Targets: the time per input byte at the largest size is at most
// twice that at the middle one (the cost grows in proportion to the size), and
// the memory stays below 16 bytes per input byte plus 1 MB. In memory a key
// sequence is text of two bytes a character, and the keys it holds down are a
// linked list of its characters.
#include "engine/AppContext.h"
#include "keyboard/KeySequence.h"
#include "profiles/ProfileFile.h"
#include "ui/KeyBox.h"

#include "platform/fakes/Fakes.h"

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace corvane;

QString keysInput(qsizetype bytes)
{
    const qsizetype tokens = bytes / 8;
    QString sequence;
    sequence.reserve(tokens * 8);
    for (qsizetype i = 0; i < tokens; ++i)
        sequence += downToken(static_cast<int>(i % 255));
    for (qsizetype i = 0; i < tokens; ++i)
        sequence += QStringLiteral("U999");
    return sequence;
}

void keysCase(qsizetype bytes)
{
    platform::fakes::FakePlatform fakes;
    QTemporaryDir dir;
    AppContext app(fakes.platform, dir.path());
    KeyBox box;
    (void)RenderKeySequence(app, box, QStringLiteral("D065U065"));
    const QString sequence = keysInput(bytes);
    (void)keySequenceToSendKeys(sequence);
    (void)RenderKeySequence(app, box, sequence);
}

void commasCase(qsizetype bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kProfilesFileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(bytes, ',')) != bytes)
        std::abort();
    file.close();
    ProfileStore store(dir.path(), &corvane::platform::replaceFileWhole);
    store.readProfiles([](const QString&) {});
}

struct Case {
    const char* name;
    std::function<void(qsizetype)> run;
    std::vector<qsizetype> sizes;
};

// Runs the case in a child: its time in ms and its peak resident memory in kB.
std::pair<double, long> inChild(int argc, char** argv, const Case* which, qsizetype bytes)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        std::abort();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        QApplication app(argc, argv);
        const auto start = std::chrono::steady_clock::now();
        if (which)
            which->run(bytes);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        (void)!::write(pipeEnds[1], &ms, sizeof ms);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    double ms = -1;
    (void)!::read(pipeEnds[0], &ms, sizeof ms);
    ::close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return {ms, usage.ru_maxrss};
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const Case cases[] = {
        {"keys", keysCase, {1 << 16, 1 << 18, 1 << 20}},
        {"commas", commasCase, {1 << 18, 1 << 20, 1 << 22}},
    };
    std::printf("Corvane hostile-input benchmark\n\n");
    std::printf("%-8s %12s %10s %12s %14s %12s\n", "case", "input bytes", "ms", "ns / byte", "peak extra kB",
                "extra / input");
    bool met = true;
    for (const Case& c : cases) {
        const long idle = inChild(argc, argv, &c, 0).second;
        std::vector<double> perBytes;
        for (const qsizetype bytes : c.sizes) {
            const auto [ms, peak] = inChild(argc, argv, &c, bytes);
            const double perByte = ms * 1e6 / static_cast<double>(bytes);
            const long extra = peak - idle;
            const double ratio = static_cast<double>(extra) * 1024 / static_cast<double>(bytes);
            std::printf("%-8s %12lld %10.1f %12.1f %14ld %12.2f\n", c.name, static_cast<long long>(bytes), ms, perByte,
                        extra, ratio);
            perBytes.push_back(perByte);
            met = met && ms >= 0 && extra * 1024 <= 16 * bytes + (1 << 20);
        }
        met = met && perBytes.back() <= 2 * perBytes[perBytes.size() - 2];
    }
    std::printf("\ntargets (time per byte at most doubles from the middle to the largest size; peak extra memory\n"
                "at most 16 bytes per input byte + 1 MB): %s\n",
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
