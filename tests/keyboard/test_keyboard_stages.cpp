// The keyboard stages: the poll with the recorder writing into the mapping
// whose button is pressed in and the global start and stop keys; the output
// with each key mode's events as the key output receives them, the monitor,
// the yields between events and the release of what is held.
#include "core/Choices.h"
#include "keyboard/KeyboardOutput.h"
#include "keyboard/KeyboardPoll.h"
#include "platform/EventPump.h"
#include "platform/fakes/Fakes.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"
#include "tests/support/TestData.h"

#include <QTimer>

namespace corvane {
namespace {

// The window as the keyboard stages see it: the mapping buttons, their boxes'
// labels, each after "G" (green) or "R" (red), Start's state and the key mode
// list.
struct FakeKeyboardView : KeyboardView {
    bool trackingStarted() const override { return started; }
    QString keyMode() const override { return mode; }
    bool recording() const override { return recordingNow; }
    std::optional<int> pressedInMapping() const override { return pressedIn; }
    void appendKeyLabel(int mapping, const QString& label, LabelColour colour) override
    {
        labels[mapping] += QChar(colour == LabelColour::Green ? u'G' : u'R') + label;
    }
    void showKeys(const QString& text) override { keys = text; }

    // A mapping button pressed in (recording into it), or let out.
    void pressIn(Mapping m) { pressedIn = static_cast<int>(m), recordingNow = true; }
    void letOut() { pressedIn.reset(), recordingNow = false; }

    bool started = false;
    QString mode = kEmulateKeys;
    bool recordingNow = false;
    std::optional<int> pressedIn;
    std::array<QString, kMappingCount> labels;
    QString keys;
};

struct KeyStages : ::testing::Test {
    void SetUp() override
    {
        table.currentIndex = table.grow();
        current() = defaultMouseEmulation(); // start and stop: left Ctrl, right Ctrl, S
    }
    Profile& current() { return table.current(); }
    // One poll with exactly these keys down (and these tapped since the last poll).
    void poll(std::initializer_list<int> down, std::initializer_list<int> tapped = {})
    {
        fakes.keyState() = platform::fakes::FakeKeyState();
        for (int code : down)
            fakes.keyState().press(code);
        for (int code : tapped)
            fakes.keyState().tap(code);
        keyPoll.PollKeyboard();
    }
    QString recorded(Mapping m) { return current().*kMappingFields[static_cast<int>(m)]; }
    QString shown(Mapping m) { return view.labels[static_cast<int>(m)]; }

    // One stage with the left-right value -5 turning left into `turnLeft`;
    // the events, the monitor and what is left for the pointer.
    QString send(const char* mode, const char* turnLeft)
    {
        current().turnLeftKey = QString::fromLatin1(turnLeft);
        MovementValues values{-5, 4, 0};
        QString cycle;
        fakes.log.clear();
        view.keys = QStringLiteral("before");
        view.mode = QString::fromLatin1(mode);
        output.SendMappedKeys(values, cycle, view);
        return QStringLiteral("%1 | %2 | %3,%4")
            .arg(fakes.log.joined(), view.keys)
            .arg(values.leftRight)
            .arg(values.upDown);
    }

    platform::fakes::FakePlatform fakes;
    ProfileTable table;
    FakeKeyboardView view;
    EventPump pump{fakes.process()};
    int toggles = 0;
    KeyboardPoll keyPoll{fakes.platform, table, view, pump, [this] { ++toggles; }};
    KeyboardOutput output{fakes.platform, table, pump};
};

TEST_F(KeyStages, RecordsPressesAndReleasesOncePerKeyInCodeOrderWithinAPoll)
{
    poll({65}); // already down when the recording starts: only its release counts
    view.pressIn(Mapping::TurnLeft);
    for (const auto& down : {std::initializer_list<int>{65, 162}, {162}, {162, 83, 160}})
        poll(down);
    EXPECT_EQ(shown(Mapping::TurnLeft), "G[LCTRL]R[A]G[S]G[LSHIFT]") << "labels as recorded: no releases yet";
    poll({162, 160});
    poll({});
    EXPECT_EQ(recorded(Mapping::TurnLeft), "D162U065D083D160U083U160U162");
    EXPECT_EQ(shown(Mapping::TurnLeft), "G[LCTRL]R[A]G[S]G[LSHIFT]R[S]R[LSHIFT]R[LCTRL]");
    // Only the 247 codes from 3 to 255 that are not mouse buttons nor generic modifiers are asked about.
    const QList<int>& asked = fakes.keyState().queried;
    EXPECT_EQ(std::tuple(asked.size(), asked[0], asked[1], asked[10], asked.back()), std::tuple(247, 3, 7, 19, 255));
    EXPECT_EQ(toggles, 0) << "a recording ignores the global keys";

    // A tap between two polls counts once; a button pressed in during a scan records from that poll on.
    view.pressIn(Mapping::LookUp);
    QTimer::singleShot(0, [this] { view.pressIn(Mapping::LookDown); });
    poll({}, {32});
    poll({});
    EXPECT_EQ(std::tuple(recorded(Mapping::LookDown), recorded(Mapping::LookUp), recorded(Mapping::TurnLeft)),
              std::tuple("D032U032", "", "D162U065D083D160U083U160U162"))
        << "the turn kept after popping out";
    view.letOut(); // nothing more is recorded or shown
    poll({70});
    EXPECT_EQ(shown(Mapping::LookDown), "G[SPACE]R[SPACE]");
}

TEST_F(KeyStages, AHandlerRunsNestedInsideTheScanWhenItsEventArrivesThere)
{
    // An event that arrives while code 100 is asked about runs its handler a
    // few codes later, before the scan ends.
    qsizetype askedWhenRun = -1;
    fakes.keyState().onAsked = [&](int code) {
        if (code == 100)
            QTimer::singleShot(0, [&] { askedWhenRun = fakes.keyState().queried.size(); });
    };
    keyPoll.PollKeyboard();
    const qsizetype at100 = fakes.keyState().queried.indexOf(100) + 1;
    EXPECT_GE(askedWhenRun, at100);
    EXPECT_LT(askedWhenRun, at100 + EventPump::kLookEvery);
}

TEST_F(KeyStages, TheGlobalKeyOfTheTrackersStateFiresWhileAllItsDownKeysAreDown)
{
    // The Start caption, the stop sequence, the keys down, and whether the toggle is called.
    // clang-format off
    const struct { const char* caption; const char* stopKey; std::initializer_list<int> down; int toggles; } rows[] = {
        {"Start", "", {162, 163, 83}, 1}, {"Start", "", {162, 163, 83, 65}, 1}, {"Start", "", {162, 83}, 0},
        {"Start", "", {}, 0},             {"Stop", "", {162, 163, 83}, 0},       {"Stop", "U065", {70}, 1},
        {"Stop", "U065", {}, 0},          {"Stop", "D065D06", {66}, 0},
        {"Stop", "D065D06", {65}, 1}, // a short last token is searched as it stands
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.caption) + " " + row.stopKey);
        view.started = QLatin1String(row.caption) == QLatin1String("Stop");
        current().stopKey = row.stopKey;
        toggles = 0;
        poll(row.down);
        EXPECT_EQ(toggles, row.toggles);
    }
}

TEST_F(KeyStages, EachModeSendsTheCycleSequenceItsOwnWay)
{
    // clang-format off
    const struct { const char* mode; const char* turnLeft; const char* result; } rows[] = {
        {"Emulate Keys", "D162D164D083U083U164U162",
         "down 162, down 164, down 83, up 83, up 164, up 162 | D162D164D083U083U164U162 | 0,4"},
        {"Emulate Keys", "D001U001D004U002", // the mouse buttons
         "button down left, button up left, button down middle, button up right | D001U001D004U002 | 0,4"},
        {"Keyboard Event", "D000U001", "down 0, up 1 | D000U001 | 0,4"},
        {"Send Keys", "D160D065U065U160", "down 160, up 160, type A | {LSHIFT}A | 0,4"},
        {"Send Keys", "", " |  | -5,4"},
        {"Send Keys", "D-12", "message \"Corvane\" [OK]: Corvane has encountered the following error:|"
                              "|9 : Subscript out of range -> OK |  | 0,4"},
        {"Bogus", "D065", " | before | 0,4"}, // mapped directions are taken all the same
        {"Disabled", "D065", " | before | -5,4"},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(send(row.mode, row.turnLeft), QString::fromUtf8(row.result)) << row.mode << ' ' << row.turnLeft;

    view.recordingNow = true;
    EXPECT_EQ(send("Emulate Keys", "D065"), " | before | 0,0");
}

TEST_F(KeyStages, TheWindowRunsBetweenKeysAndWhatStaysHeldIsReleasedAtTheEnd)
{
    QTimer::singleShot(0, [this] { fakes.log.add(QStringLiteral("handler")); });
    EXPECT_EQ(send("Emulate Keys", "D065U065"), "down 65, handler, up 65 | D065U065 | 0,4");

    // A byte is all the key event takes: the sequence stops at the code that does not fit.
    EXPECT_EQ(test::faultOf([this] { send("Keyboard Event", "D066D256"); }), kFaultOverflow);
    EXPECT_EQ(send("Emulate Keys", "D160D001D065U065"),
              "down 160, button down left, down 65, up 65 | D160D001D065U065 | 0,4");
    EXPECT_EQ(output.held(), "D066D160D001");
    fakes.log.clear();
    output.releaseHeld();
    EXPECT_EQ(fakes.log.joined(), "button up left, up 160, up 66");

    // A key-down takes a 16-bit code: 999 goes out, and 9E9 (nine thousand
    // million) stops the sequence.
    EXPECT_EQ(test::faultOf([this] { send("Emulate Keys", "D999D9E9D065"); }), kFaultOverflow);
    EXPECT_EQ(fakes.log.joined(), "down 999");
}

} // namespace
} // namespace corvane
