// Corvane: steers the mouse pointer and presses keys with a serial head tracker.
#include "engine/Main.h"
#include "platform/Platform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    auto platform = corvane::platform::createPlatform(QCoreApplication::applicationDirPath());
    corvane::Engine engine(*platform, QCoreApplication::applicationDirPath());
    return engine.Main();
}
