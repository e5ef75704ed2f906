#pragma once
// An engine over the recording platform fakes with its files in a scratch
// folder, and a tracker on COM 1 at 19200 that acknowledges its set-up.
#include "engine/Main.h"
#include "engine/TrackerLink.h"
#include "platform/fakes/Fakes.h"
#include "ui/MainForm.h"

#include "tests/support/FormControls.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/TestData.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <optional>

namespace corvane::test {

// The profiles file that the first start writes.
inline QByteArray defaultsFileBytes()
{
    return profileLine(defaultFlightSimulator()) + profileLine(defaultEulerAngle())
         + profileLine(defaultMouseEmulation());
}

struct EngineRig {
    EngineRig() { fakes.serial().openOnly(1, QStringLiteral("19200,n,8,1")); }
    // Anything a sleep has posted but no event point has run yet belongs to this rig.
    ~EngineRig() { QCoreApplication::processEvents(); }

    // Start-up without a profiles file: "Default Mouse Emulation", whose
    // Magnetic, Tilt and Jitter are 2, 4 and 3. The log starts empty after it
    // and, when asked, shows the sleeps from then on.
    void startUp(bool logSleeps = false)
    {
        ASSERT_TRUE(engine.startUp());
        fakes.log.clear();
        fakes.clock().setLogSleeps(logSleeps);
    }
    // One cycle of the main loop; what it logged.
    QStringList cycle()
    {
        fakes.log.clear();
        engine.cycle();
        return fakes.log.lines();
    }
    // Main until the main window is closed at `closeAtMs` (or start-up fails).
    int runUntilClosedAt(qint64 closeAtMs)
    {
        clock().at(closeAtMs, [this] { form().close(); });
        return engine.Main();
    }
    void clickStart() { ui().Start_Command->click(); }
    // Smoothing and speed per axis (left-right, up-down, side-side), typed into the number boxes.
    void tune(std::initializer_list<const char*> texts)
    {
        FormControls& f = ui();
        auto text = texts.begin();
        for (SettingPair* pair :
             {f.LeftRightSmooth, f.LeftRightSpeed, f.UpDownSmooth, f.UpDownSpeed, f.SideSideSmooth, f.SideSideSpeed})
            pair->box()->setText(QString::fromLatin1(*text++));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    MainForm& form() { return static_cast<MainForm&>(engine.view()); }
    // The started window's controls.
    FormControls& ui() { return controls ? *controls : controls.emplace(form()); }
    Profile& profile() { return engine.app().store.table.current(); }
    const QString& accepted() { return engine.app().link.acceptedCommand; }
    platform::fakes::FakeSerialPort& serial() { return fakes.serial(); }
    platform::fakes::FakeClock& clock() { return fakes.clock(); }
    QStringList writes() const { return fakes.log.matching(QStringLiteral("write ")); }
    QStringList lastLines(qsizetype n) const { return fakes.log.lines().mid(fakes.log.lines().size() - n); }

    QTemporaryDir dir;
    platform::fakes::FakePlatform fakes;
    Engine engine{fakes.platform, {dir.path(), true, dir.path()}, [](AppContext& app, EngineHandlers handlers) {
                      return std::make_unique<MainForm>(app, std::move(handlers));
                  }};
    std::optional<FormControls> controls;
};

// What closing the window with the port open writes and does, in order.
inline const QStringList kShutdownLines = {"write !", "write !R<CR>", "close", "end 0"};

} // namespace corvane::test
