// corvane-bench-window-alone: Corvane's main window and nothing else of the
// program, the start-up benchmark's floor. The window is built, loaded and
// shown as at a start, but over the recording platform fakes, with its
// profile files in a scratch folder: no port is searched, no connection to
// the display is opened beside the toolkit's, and no device is looked for.
// What it costs beyond the empty window is what the window itself costs, so
// Corvane can start no faster and in no less memory than it.
//
//   corvane-bench-window-alone
#include "platform/fakes/Fakes.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QTemporaryDir folder;
    corvane::platform::fakes::FakePlatform fakes;
    corvane::AppContext app{fakes.platform, folder.path()};
    corvane::MainForm window{app};
    window.Form_Load();
    window.show();
    return application.exec();
}
