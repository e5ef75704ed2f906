#include "ui/HelpText.h"
#include "ui/HelpSections.h"

#include <QCoreApplication>
#include <QStringList>

namespace corvane {

namespace {

// The text is written here with plain line feeds; helpText() translates each
// piece when it is called and joins the lines with carriage return and line
// feed.

const char* const kHeader = QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Tollan Corvane 1.2 - Head Tracker Driver for Linux

Corvane turns the movements of your head, as a serial head tracker reports
them, into mouse motion and key strokes. Turn, tilt and lean your head to
look around in a game or to steer any other program that listens to the
mouse and the keyboard.
)");

const HelpSection kSections[] = {
    {QT_TRANSLATE_NOOP("corvane::HelpText", "A. CONTENTS"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
  A. CONTENTS
  B. INSTALLATION
  C. Starting the Tracker
  D. Changing the Settings
  E. Tracker Settings
  F. Mouse Settings
  G. Keyboard Settings
  H. Other Settings
  I. UNINSTALLING
  J. RELEASE NOTES
)")},

    installationSection(),
    {QT_TRANSLATE_NOOP("corvane::HelpText", "C. Starting the Tracker"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
1. Choose a profile in the "Profile" list at the top of the main window.
   Its settings take effect at once. Corvane remembers the profile you
   chose and selects it again at the next start.

2. Press "Start". The button then reads "Stop", and Corvane moves the
   mouse pointer and sends key strokes as you move your head.

3. Press "Stop" to stop the tracker. The mouse and the keyboard are then
   yours alone again.

Corvane keeps the connection to the tracker up all the time, whether the
tracker is started or stopped (see E. Tracker Settings). Head movement has
an effect only when the tracker has answered Corvane's set-up and the
tracker is started.

You can also start and stop the tracker with global key combinations that
work while another program, for example your game, has the focus. See
H. Other Settings.

To end Corvane, close its main window. Corvane then stops the tracker and
resets it before it closes the port, so the tracker is ready for the next
start. Logging out, Ctrl+C in the terminal that started Corvane, and a
service manager stopping it end Corvane in the same way. If the desktop's
display server ends while Corvane runs, Corvane also releases the keys it
holds and stops and resets the tracker before it ends.

The "Help" button opens this window. Closing it only hides it: the next
time it opens where you left it. The "Tollan Home Page" button opens the
maker's home page in your web browser.
)")},

    {QT_TRANSLATE_NOOP("corvane::HelpText", "D. Changing the Settings"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Press "Show Settings" to show the settings below the profile list, and
"Hide Settings" to hide them again. The settings are grouped in four tabs:
Tracker, Mouse, Keyboard and Other (sections E to H).

All settings change at once: every change takes effect the moment you make
it, also while the tracker is running, so you can try values out while you
play. A change belongs to the profile shown in the list. It stays in
memory, also when you switch to another profile and back, but it is not
written to the settings file until you save.

A number setting has a slider and a number box. Move the slider or type a
number into the box. A number outside the setting's range puts the slider
at its nearest end, and the box then shows that end, selected, so that the
next key you type starts a new number: typing 5 into the Update Delay box
gives 10, its smallest value. Numbers are written with a point, whatever
the language of your desktop.

The four buttons at the bottom of the settings:

  Save      Writes the settings file and so makes the changes permanent.
            It saves the unsaved changes of every profile, not only those
            of the profile shown.

  Cancel    Reloads the settings file. The unsaved changes of every
            profile are lost.

  Save As   Asks for a name and saves the settings shown as a profile of
            that name. The unsaved changes of the other profiles are
            dropped. If a profile of that name exists, Corvane asks before
            it overwrites it.

  Delete    Removes the profile shown from the settings file and selects
            "Default Mouse Emulation". A default profile is not removed:
            Delete restores its original settings instead. The list then
            shows no profile; choose one to see its settings. Choose a
            profile before you press Delete again: with no profile shown,
            Delete removes the profile still in use, even a default one.

Each of these buttons asks you first; answer "No" to leave everything as it
was.
)")},

    {QT_TRANSLATE_NOOP("corvane::HelpText", "E. Tracker Settings"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Model
    The tracker model. Corvane 1.2 knows one model, "Ambrel".

Connection
    Location  The serial port, "COM 1" to "COM 4" (see B. INSTALLATION for
              how Corvane finds the device behind each name).
    Speed     The line speed, from "19200 Kbps" down to "1200 Kbps".
    Mode      The tracker mode, "Mouse Emulation" or "Euler Angle".

    Automatic search: while the selected port cannot be opened, Corvane
    searches by itself. On each port from COM 1 to COM 4 it tries the
    speeds from 19200 down to 1200, and the Location and Speed lists show
    what it tries. The search stops at the first port that opens, and the
    profile takes that port and speed (save the profile to keep them).
    The search only finds a port that opens: if the wrong port opens,
    choose the right one yourself.

    When the port is open, Corvane sends the tracker its set-up: the
    tracker mode and the filter levels. It waits up to two seconds for the
    answer and tries again until the tracker answers; until then the
    tracker has no effect. Changing the mode or a filter level sets the
    tracker up anew.

    Where is the tracker? Rest the mouse pointer on the Location list. Its
    tooltip names the device behind each of COM 1 to COM 4, with the
    adapter's description where the system gives one, or says why there is
    none. A device that refused to open says why; for "permission denied"
    it tells you which group to join (see B. INSTALLATION). The last line
    says where the link stands: searching the ports, a port open and
    waiting for the tracker's answer, or the tracker set up.

    The same changes can be written to the terminal. Start Corvane with

        QT_LOGGING_RULES=corvane.link=true ./corvane

    and it reports each step: the search, every port that does not open
    and why, the port that opens and at what speed, the set-up and the
    tracker's answer, and the reset when Corvane ends.

    The two tracker modes:

      Mouse Emulation  The tracker reports how far your head has moved,
                       left-right and up-down. This mode has no side-side
                       axis, so the Side-Side settings and the Lean Left
                       and Lean Right mappings are disabled.

      Euler Angle      The tracker reports the three angles of your head,
                       and Corvane turns each change of angle into a
                       movement: left-right, up-down and side-side.

Filters
    Magnetic, Jitter and Tilt, each from 0 to 7, are filter levels that
    Corvane sends to the tracker with the set-up. In the Euler Angle mode
    the tracker is not sent Jitter.

    Jitter is also the threshold of the key mappings: a movement sends its
    keys only when it is larger than Jitter. In the Euler Angle mode Jitter
    keeps small movements from moving the pointer as well: the pointer
    moves only when a movement is larger than Jitter times the axis's
    speed divided by 8.
)")},

    {QT_TRANSLATE_NOOP("corvane::HelpText", "F. Mouse Settings"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Mode
    "Mouse Event" lets your head move the mouse pointer. "Disabled" leaves
    the pointer alone; the key mappings and the Output Monitor still work.
    "Joystick" leaves the pointer alone too and gives the head's position
    to simulators and games as a joystick (see "Joystick" below).

Smoothing (Left-Right, Up-Down, Side-Side; 0 to 40)
    Each axis is smoothed with a moving average: the value used is the
    average of the newest reading and the N readings before it, where N is
    the setting. 0 uses the raw values. Higher values give a calmer but
    slower pointer.

Speed (Left-Right, Up-Down, Side-Side; 0 to 40)
    Each axis is multiplied by its speed divided by 10: 10 leaves the
    movement unchanged, 20 doubles it, 5 halves it and 0 turns the axis
    off. The speed boxes hold whole numbers. A point typed into one is
    removed at once, and what is left is selected, so typing 7.6 key by
    key leaves 6. A fraction pasted in as a whole is rounded: pasting 7.6
    gives 8. A text that is not a number is refused with an error message.

The pointer follows the left-right and up-down axes. Side-side (leaning)
never moves the pointer; it can only send keys (G. Keyboard Settings). A
direction that has a key mapping does not move the pointer either, unless
the key mode is "Disabled".

Joystick
    In the mode "Joystick" Corvane makes a virtual joystick, "Corvane
    head", through the kernel's uinput device (the same access as the
    virtual pointer; the status line says what to run when it is
    missing). Its three axes follow the head: X turning (right is
    positive), Y looking up and down (down is positive) and Z leaning
    (right is positive), each from -32767 to 32767. Simulators that let an
    axis drive the view read them: X-Plane, FlightGear, Euro Truck and
    American Truck Simulator, and IL-2 or DCS under Proton, among others.
    Bind the view's axes to the joystick "Corvane head" in the game.

    The centre is where your head is when tracking starts: all three axes
    are 0 there. Stop returns them to 0, so the view comes back to
    straight ahead, and Start takes the head's position then as the new
    centre. While the tracker is lost the axes rest at the centre, and
    where the head is when it is back is the new centre. In the Euler
    Angle mode each axis is the angle from the
    centre; in the Mouse Emulation mode it is the sum of the movements
    since the centre, held at the end of the range (so turning back moves
    it at once), and leaning gives nothing. Smoothing averages the axes as
    it does the pointer's moves, and speed scales how far an axis goes:
    at speed S it reaches its end after 32767 / (0.8 x S) of the tracker's
    units. With "Default Mouse Emulation" (speeds 17 and 16) that is 2409
    units of movement (241 counts) to the side and 2560 up or down; with
    "Default Euler Angle" (speeds 7 and 5), 5851 and 8192 angle units,
    about 64 and 90 degrees. Side-side speed is 0 in the default profiles:
    raise it to lean. A direction with a key mapping, leaning included,
    keeps its axis at the centre while the head is to that side, unless
    the key mode is "Disabled". The Output Monitor shows the axes' values in this mode.

    The joystick is made when a profile first chooses the mode and stays
    until Corvane ends, so that a game started before tracking finds it;
    leaving the mode returns its axes to the centre. When it cannot be
    made, Start tries again. When Corvane ends,
    the axes return to the centre and the joystick is removed.
)")},

    {QT_TRANSLATE_NOOP("corvane::HelpText", "G. Keyboard Settings"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Mode
    How the mapped keys are sent to the program that has the focus:

      Disabled        No keys are sent; the mapping buttons are disabled.
      Send Keys       Each mapping is typed as complete key strokes.
      Emulate Keys    The presses and releases of the mapping are sent one
                      by one, exactly as they were recorded.
      Keyboard Event  The same as Emulate Keys, through another way of
                      sending key events. If a program does not react to
                      one of the two, try the other.

Mappings
    Six movements can send keys instead of moving the pointer: "Turn
    Left", "Turn Right", "Look Up", "LookDown", "Lean Left" and "Lean
    Right". A movement sends its keys when it is larger than the Jitter
    level (E. Tracker Settings), and sends them again at every update
    while your head stays there. Lean Left and Lean Right need the tracker
    mode "Euler Angle".

    To record a mapping:

      1. Press its button, for example "Turn Left". The button stays
         pressed in, and the mapping it had is cleared.

      2. Type the keys as you would in your game, for example: hold down
         Left Ctrl, press S, release S, release Left Ctrl. Corvane watches
         the whole keyboard, whatever program has the focus. The box
         beside the button shows each press in green and each release in
         red.

      3. Press the button again, or click any other control, to end the
         recording. Switching to another program does not end it.

    Keys that go down at the same moment are recorded in the order of
    their key codes. Record the releases too: in the Emulate Keys and
    Keyboard Event modes a mapping without the release of a key leaves
    that key held down. While a recording runs, no mapped keys are sent
    and the head does not move the pointer. A recording changes the
    profile in memory; save the profile to keep it.

    A mapping holds keys, not the characters they type, so the box names
    each key by its code. Letters follow your layout: on a German keyboard
    the key labelled Z records [Z]. The digit row records [0] to [9] on
    every layout, French included, and the keypad [PAD0] to [PAD9]
    whether Num Lock is on or off. Punctuation keys are named by their
    place, with the codes that the German, French and UK layouts of
    Windows give them, so that a profile means the same keys on every
    computer. Emulate Keys and Keyboard Event press exactly the recorded
    keys, adding no Shift; Send Keys types characters, with Shift or
    AltGr where your layout needs them.
)")},

    {QT_TRANSLATE_NOOP("corvane::HelpText", "H. Other Settings"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Global Keys
    "Start" and "Stop" are key combinations that start and stop the
    tracker from any program, as the Start and Stop button does. Record
    them like a mapping (G. Keyboard Settings): press "Start" or "Stop"
    and type the combination. They work in every key mode.

    While the tracker is stopped Corvane watches for the Start combination,
    while it runs for the Stop combination. Holding down the keys that the
    combination presses is enough; other keys may be down as well. An
    empty Stop combination never stops the tracker. While a recording
    runs the global keys are ignored, so that you can record them.

    The tracker is started or stopped at most once per second: a start or
    stop that comes within two whole seconds of the last one is ignored.
    So Start and Stop may even be the same combination.

Update Delay (Milleseconds, 10 to 100)
    The pause, in milliseconds, between two updates. At every update
    Corvane reads the tracker, moves the pointer and sends the mapped
    keys, so a held mapping repeats once per update. A shorter delay
    gives a smoother and quicker response and uses more processor time.

Output Monitor
    Shows, while the "Other" tab is shown, the values of the three axes
    after smoothing and speed: TL / TR (turn left and right), LU / LD
    (look up and down) and LL / LR (lean left and right). Negative values
    mean left, up or leaning left. The wide box below shows the keys that
    were sent at the last update. Use it to set the speeds and the Jitter
    level.
)")},

    {QT_TRANSLATE_NOOP("corvane::HelpText", "I. UNINSTALLING"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Apart from the system packages that scripts/install-deps.sh installed,
Corvane built from source keeps everything in its folder. To remove it:

1. Close Corvane.

2. Delete the folder that holds the program, together with any comN links
   you made in it.

Corvane installed as a Debian package is removed with

    sudo apt remove corvane

and its settings stay in ~/.config/Corvane until you delete that folder.

Your settings are the two files Profiles1.2.dat and LastProfile1.2.dat in
the settings folder (beside the executable, or ~/.config/Corvane when
Corvane is installed where you may not write). To keep your profiles, copy
these files elsewhere first and put them back into the settings folder of a
new installation.

The packages that scripts/install-deps.sh installed are ordinary Debian
packages that other programs may use too; remove them with apt only if
nothing else needs them. If you joined the "dialout" group only for
Corvane, you can leave it again with

    sudo deluser $USER dialout
)")},

    {QT_TRANSLATE_NOOP("corvane::HelpText", "J. RELEASE NOTES"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Version 1.2
  - First release for Linux, for Wayland and X11 desktop sessions.
  - In an X11 session the mouse pointer is moved, and keys and mouse
    buttons are pressed, through the X server's test extension (XTEST).
  - In a Wayland session Corvane's window runs natively, and the pointer
    and the keys go through the kernel's uinput device, so they reach
    every program and every game; the keyboard is watched through the
    kernel's event devices where you may read them. See "Wayland, games
    and the kernel's input devices" above. Windows is planned.
  - When Corvane ends, every key and mouse button that it pressed and did
    not release is released first.
)")},
};

// The lines of a text block, translated for the translator installed now,
// without the line feeds that open and close it.
QStringList linesOf(const char* block)
{
    QString text = QCoreApplication::translate("corvane::HelpText", block);
    if (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

} // namespace

QString helpText()
{
    const QString doubleRule(80, QLatin1Char('='));
    const QString singleRule(80, QLatin1Char('-'));

    QStringList lines = linesOf(kHeader);
    for (const HelpSection& section : kSections) {
        lines << QString() << doubleRule << linesOf(section.title) << singleRule << QString();
        lines << linesOf(section.body);
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace corvane
