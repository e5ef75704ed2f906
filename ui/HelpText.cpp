#include "ui/HelpText.h"

#include <QStringList>

namespace corvane {

namespace {

// The text is written here with plain line feeds; helpText() joins the lines
// with carriage return and line feed.

const char* const kHeader = R"(
Tollan Corvane 1.2 - Head Tracker Driver for Linux

Corvane turns the movements of your head, as a serial head tracker reports
them, into mouse motion and key strokes. Turn, tilt and lean your head to
look around in a game or to steer any other program that listens to the
mouse and the keyboard.
)";

struct Section {
    const char* title;
    const char* body;
};

const Section kSections[] = {
    {"A. CONTENTS", R"(
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
)"},

    {"B. INSTALLATION", R"(
Corvane 1.2 runs on Linux, in a Wayland or an X11 desktop session. You
install it from its Debian package, or by building it from its source
code. Started without a desktop session (over ssh without X forwarding,
say), it says so in the terminal and ends.

Wayland, games and the kernel's input devices

Corvane moves the pointer and sends keys through the kernel's uinput
device: it makes a virtual mouse ("Corvane virtual pointer") and a
virtual keyboard ("Corvane virtual keyboard") that every desktop, every
program and every game reads like real ones. This needs write access to
/dev/uinput. The package gives it to the user at the seat with a udev
rule; when you build Corvane yourself, put this line into the file
/etc/udev/rules.d/70-corvane-uinput.rules (one line, as it stands here;
"corvane --help" shows it too):

KERNEL=="uinput",SUBSYSTEM=="misc",TAG+="uaccess",OPTIONS+="static_node=uinput"

then run "sudo udevadm trigger" (or restart) and log in again. Without
that access Corvane uses the X server's test extension in an X11 session
or under XWayland, and then reaches only X11 programs. When neither way
works, Corvane says why when it starts and when the pointer should first
move.

In an X11 session Corvane keeps using the X server even when it could use
uinput, because the X server moves the pointer exactly as far as the
profile says, while the desktop treats the virtual mouse like any mouse:
its pointer acceleration makes small moves smaller and fast ones larger.
To send through uinput anyway (for a game that reads /dev/input), start
Corvane with --output uinput. To get the exact motion the profile's
speeds describe through uinput, turn the pointer acceleration off: choose
the "flat" acceleration profile in your desktop's mouse settings (GNOME:
Settings, Mouse & Touchpad, Mouse Acceleration off; KDE: System
Settings, Mouse, Acceleration profile None).

The global Start and Stop keys and the recording of mappings watch the
keyboard through the kernel's event devices when Corvane may read them,
so they work whatever program has the focus. That needs membership of
the "input" group:

    sudo adduser $USER input

then log in again. Be aware that any program you run may then read every
key you type, passwords included; Corvane only reads the keyboards,
never holds them for itself, and never keeps or writes a key. Without
that access Corvane watches the keyboard through the X server, and then
sees only the keys typed while an X11 program has the focus (in a
Wayland session, none typed into a native Wayland program).

"corvane --help" says which ways Corvane would use now and why;
--output uinput|x11 and --keys evdev|x11 choose them yourself, and a
choice that cannot work ends the start with a message.

To install the package, run in the source code's folder

    bash scripts/package.sh
    sudo apt install ./build/corvane_1.2.0_amd64.deb

Corvane then appears in your desktop's menu, "man corvane" describes it,
and it keeps its settings in ~/.config/Corvane (see "The settings files"
below). To build it from the source code instead:

1. Put the source code in a folder of your choice.

2. Open a terminal in that folder and run

       bash scripts/install-deps.sh
       cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
       cmake --build build

   On Debian 12 the first command installs the packages that the build
   needs; the other two build the program into the folder build/bin.

3. Connect the tracker (see "Connecting the tracker" below) and start
   Corvane with

       build/bin/corvane

   Use the same command to start it again later.

To try Corvane without a tracker, run scripts/run.sh instead: it builds the
program and starts a copy of it in build/run together with a simulated
tracker whose head moves in a circle. That copy does not use your serial
ports and keeps its own settings.

The settings files

Corvane keeps its settings in two plain text files in its settings
folder:

    Profiles1.2.dat       every profile with its settings
    LastProfile1.2.dat    the name of the profile you selected last

The settings folder is the folder of the program's executable file when
you may write there (a build folder, or a copy of Corvane in your own
folder), so files you copy beside the program are used unchanged.
Otherwise, as when Corvane is installed in /usr/bin or in another of the
system's folders (/usr, /opt and the like, even when the administrator
runs it), it is your configuration folder, normally ~/.config/Corvane,
which Corvane creates when it first writes there. Both folders hold the
same files in the same form. To tell which folder is used, run

    corvane --help

in a terminal: it names the settings folder and why it was chosen. If a
file cannot be written there (the disk is full, say), Corvane says why,
naming the folder, and keeps your file exactly as it was. It writes only
a plain file, or a link to one that holds Corvane's settings (as a
dotfile manager keeps them); a link to anything else, or a folder, a
device or a pipe in a file's place, is refused with a message.

Corvane runs only once per settings folder, as two would overwrite each
other's profiles. If you start it again while it runs, the running
Corvane's window comes to the front and nothing else happens. If Corvane
says it is already running although it is not, remove the file
Corvane.lock from the settings folder and start it again.

When your profiles are beside a copy of Corvane in a folder you may not
write, the first start that uses your configuration folder copies them,
and the comN entries, there, and says so once; the old folder stays as
it was.

On its first start Corvane creates the three default profiles "Default
Flight Simulator", "Default Euler Angle" and "Default Mouse Emulation" and
writes both files.

If Corvane finds its profile files damaged: when Profiles1.2.dat holds
nothing Corvane can read as a complete profile, or the profile used last
(named in LastProfile1.2.dat) is not in it, Corvane shows one box before it
changes anything. The box says what it found in each file, with the files'
full paths. Press Return (Keep Aside and Start) to rename both files, their
contents unchanged, to names ending in ".kept-" and the date and time, and
start with the three default profiles, as on a first start. When the
profiles file is whole and only the profile used last is missing from it,
only LastProfile1.2.dat is renamed, and Corvane starts with the file's
"Default Mouse Emulation". When the profiles file ends in the middle of
a profile (a save that was cut off), the box names that profile: Keep a
Copy and Start copies the file as it is to a name ending in ".kept-" and
the date and time, writes it again with the complete profiles only, and
starts with them. Or choose Quit
to close Corvane and leave both files exactly as they are, for example to
repair them by hand. Nothing you wrote is deleted: to get your old profiles
back, quit Corvane and rename the kept files to their original names. A
profiles file of more than 10,000 records is taken as damaged too.

Connecting the tracker

Corvane names the serial ports COM 1 to COM 4. On Linux it finds the
device behind COM n like this:

  - If the settings folder (see "The settings files" above) holds entries
    named comN (com1, com2, com3 or com4), they alone define the ports:
    COM n is the entry comN, and a COM n without one cannot be opened.
    Normally an entry is a symbolic link to the serial device, made for
    example with

        ln -s /dev/ttyUSB0 com3

  - Otherwise COM n is the n-th serial port that the system lists: USB
    serial adapters (ttyACM, ttyUSB) first, then built-in ports (ttyS),
    which open even when nothing is connected to them. So a USB adapter
    is COM 1 when it is the only one. When there are several, make comN
    links so that you know which port is which.

  - For devices the system does not list, such as pseudo-terminals, start
    Corvane with CORVANE_SERIAL_PORTS set to their paths, separated by
    colons: they then take the place of the system's list.

If the tracker's adapter is pulled out and plugged in again, Corvane finds
it again by itself. A serial port is used by one program at a time: when
another program holds it, the tooltip of the "Location" list names that
program (and its lock file); end it, or choose another port.

You need permission to use the serial device. On Debian the serial devices
belong to the group "dialout"; add yourself to it with

    sudo adduser $USER dialout

then log out and log in again for the change to take effect.
)"},

    {"C. Starting the Tracker", R"(
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
)"},

    {"D. Changing the Settings", R"(
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
)"},

    {"E. Tracker Settings", R"(
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
)"},

    {"F. Mouse Settings", R"(
Mode
    "Mouse Event" lets your head move the mouse pointer. "Disabled" leaves
    the pointer alone; the key mappings and the Output Monitor still work.

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
)"},

    {"G. Keyboard Settings", R"(
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
         recording.

    Keys that go down at the same moment are recorded in the order of
    their key codes. Record the releases too: in the Emulate Keys and
    Keyboard Event modes a mapping without the release of a key leaves
    that key held down. While a recording runs, no mapped keys are sent
    and the head does not move the pointer. A recording changes the
    profile in memory; save the profile to keep it.
)"},

    {"H. Other Settings", R"(
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
)"},

    {"I. UNINSTALLING", R"(
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
)"},

    {"J. RELEASE NOTES", R"(
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
)"},
};

// The lines of a raw text block without the line feeds that open and close it.
QStringList linesOf(const char* block)
{
    QString text = QString::fromLatin1(block);
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
    for (const Section& section : kSections) {
        lines << QString() << doubleRule << QString::fromLatin1(section.title) << singleRule << QString();
        lines << linesOf(section.body);
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace corvane
