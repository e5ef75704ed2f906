// The keyboard poll: the recorder writing into the mapping whose button is
// pressed in, and the global start and stop keys.
#include "engine/EventPump.h"
#include "keyboard/PollKeyboard.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QTextBlock>
#include <QTimer>

namespace corvane {
namespace {

struct KeyPoll : testing::FormTest {
    void SetUp() override
    {
        FormTest::SetUp();
        addCurrent(defaultMouseEmulation()); // start and stop: left Ctrl, right Ctrl, S
        form.KeyMode_Combo->setText(QStringLiteral("Emulate Keys")); // the movement buttons enabled
    }
    // One poll with exactly these keys down (and these tapped since the last poll).
    void poll(std::initializer_list<int> down, std::initializer_list<int> tapped = {})
    {
        for (int code = 0; code < 256; ++code)
            fakes.keyState().release(code);
        for (int code : down)
            fakes.keyState().press(code);
        for (int code : tapped)
            fakes.keyState().tap(code);
        keyPoll.PollKeyboard();
    }
    QString recorded(Mapping m) { return current().*kMappingFields[static_cast<int>(m)]; }
    // The box's runs of labels of one colour, each after "G" (green), "R" (red) or "?".
    QString shown(Mapping m)
    {
        QString out;
        for (auto run = form.keyBoxes[static_cast<int>(m)]->document()->begin().begin(); !run.atEnd(); ++run) {
            const QColor c = run.fragment().charFormat().foreground().color();
            out += (c == QColor(0, 128, 0) ? "G" : c == QColor(192, 0, 0) ? "R" : "?") + run.fragment().text();
        }
        return out;
    }

    EventPump pump{fakes.process()};
    int toggles = 0;
    KeyboardPoll keyPoll{app, form, pump, [this] { ++toggles; }};
};

TEST_F(KeyPoll, RecordsPressesAndReleasesOncePerKeyInCodeOrderWithinAPoll)
{
    poll({65}); // already down when the recording starts: only its release counts
    form.keyChecks[0]->click();
    for (const auto& down : {std::initializer_list<int>{65, 162}, {162}, {162, 83, 160}, {162, 160}, {}})
        poll(down);
    EXPECT_EQ(recorded(Mapping::TurnLeft), "D162U065D083D160U083U160U162");
    EXPECT_EQ(shown(Mapping::TurnLeft), "G[LCTRL]R[A]G[S][LSHIFT]R[S][LSHIFT][LCTRL]");
    // Only the 247 codes that are not mouse buttons nor generic modifiers are asked about.
    QList<int> looked;
    for (int code = 3; code <= 255; ++code)
        if (code != 4 && code != 5 && code != 6 && (code < 16 || code > 18))
            looked << code;
    EXPECT_EQ(fakes.keyState().queried, looked);
    EXPECT_EQ(toggles, 0) << "a recording ignores the global keys";

    // A tap between two polls counts once; a button pressed in during a scan records from that poll on.
    form.keyChecks[2]->click();
    QTimer::singleShot(0, [this] { form.keyChecks[3]->click(); });
    poll({}, {32});
    poll({});
    EXPECT_EQ(recorded(Mapping::LookDown), "D032U032");
    EXPECT_EQ(recorded(Mapping::LookUp), "");
    EXPECT_EQ(recorded(Mapping::TurnLeft), "D162U065D083D160U083U160U162") << "kept after popping out";
}

TEST_F(KeyPoll, TheGlobalKeyOfTheTrackersStateFiresWhileAllItsDownKeysAreDown)
{
    // The Start caption, the stop sequence, the keys down, and whether the toggle is called.
    const struct { const char* caption; const char* stopKey; std::initializer_list<int> down; int toggles; } rows[] = {
        {"Start", "", {162, 163, 83}, 1}, {"Start", "", {162, 163, 83, 65}, 1}, {"Start", "", {162, 83}, 0},
        {"Start", "", {}, 0},             {"Stop", "", {162, 163, 83}, 0},       {"Stop", "U065", {70}, 1},
        {"Stop", "U065", {}, 0},          {"Stop", "D065D06", {66}, 0},
        {"Stop", "D065D06", {65}, 1}, // a short last token is searched as it stands
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.caption) + " " + row.stopKey);
        form.Start_Command->setText(row.caption);
        current().stopKey = row.stopKey;
        toggles = 0;
        poll(row.down);
        EXPECT_EQ(toggles, row.toggles);
    }
}

} // namespace
} // namespace corvane
