// corvane-bench-empty-window: the least a Qt Widgets program with a window
// like Corvane's costs, the start-up benchmark's baseline. It shows one
// top-level window, fixed to the given size inside, with the given title and
// the style Corvane takes (Fusion), and does nothing else until it is closed.
// With --cycle it runs the least loop a program of Corvane's shape can run
// instead of waiting for events: sleep MS milliseconds, process the events,
// again (the latency benchmark's reference for the CPU of a cycle).
//
//   corvane-bench-empty-window --title TITLE --size WIDTHxHEIGHT [--cycle MS]
#include <QApplication>
#include <QString>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    const char* title = nullptr;
    int width = 0;
    int height = 0;
    int cycle = 0;
    char rest = 0;
    bool understood = argc % 2 == 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view option = argv[i];
        if (option == "--title")
            title = argv[i + 1];
        else if (option == "--size")
            understood = understood && std::sscanf(argv[i + 1], "%dx%d%c", &width, &height, &rest) == 2;
        else if (option == "--cycle")
            understood = understood && std::sscanf(argv[i + 1], "%d%c", &cycle, &rest) == 1 && cycle > 0;
        else
            understood = false;
    }
    if (!understood || title == nullptr || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: corvane-bench-empty-window --title TITLE --size WIDTHxHEIGHT [--cycle MS]\n");
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(title));
    window.setFixedSize(width, height);
    window.show();
    if (cycle == 0)
        return application.exec();
    bool closed = false;
    QObject::connect(&application, &QGuiApplication::lastWindowClosed, [&] { closed = true; });
    while (!closed) {
        QThread::msleep(static_cast<unsigned long>(cycle));
        QCoreApplication::processEvents();
    }
    return 0;
}
