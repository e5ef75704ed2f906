// The help text's installation section (HelpSections.h).
#include "ui/HelpSections.h"

#include <QtGlobal>

namespace corvane {

HelpSection installationSection()
{
    return {QT_TRANSLATE_NOOP("corvane::HelpText", "B. INSTALLATION"), QT_TRANSLATE_NOOP("corvane::HelpText", R"(
Corvane 1.2 runs on Linux, in a Wayland or an X11 desktop session.
Started without a desktop session (over ssh without X forwarding, say),
it says so in the terminal and ends.

Installing the package

Install Corvane's Debian package with

    sudo apt install ./corvane_1.2.0_amd64.deb

Corvane then appears in your desktop's menu, "man corvane" describes it,
and it keeps its settings in ~/.config/Corvane (see "The settings files"
below). The package also sets up what Corvane needs to move the pointer
everywhere: it loads the kernel's uinput module, now and at every start
of the computer, and gives the user at the seat write access to
/dev/uinput, without a restart or a new login.

To try Corvane without a tracker, start the simulated tracker that comes
with it, then Corvane, in a terminal:

    corvane-tracker-sim --link ~/.config/Corvane/com1 --motion circle &
    corvane

The simulator then stands for the tracker on COM 1; click Start and the
pointer follows a head that moves in a circle. The status line at the
bottom of Corvane's window says what Corvane is doing, or what keeps it
from working and how to fix that; click it for the details. Remove
~/.config/Corvane/com1 when the real tracker is connected.

Wayland, games and the kernel's input devices

Corvane moves the pointer and sends keys through the kernel's uinput
device: it makes a virtual mouse ("Corvane virtual pointer") and a
virtual keyboard ("Corvane virtual keyboard") that every desktop, every
program and every game reads like real ones. This needs write access to
/dev/uinput, which the package gives (see above). If it is missing
anyway (on a computer where udev did not run when the package was
installed), run

    sudo modprobe uinput && sudo udevadm trigger --action=add --subsystem-match=misc --sysname-match=uinput

When you build Corvane yourself, first put this line into the file
/etc/udev/rules.d/70-corvane-uinput.rules (one line, as it stands here;
"corvane --help" shows it too), run "sudo udevadm control --reload", then
the command above:

KERNEL=="uinput",SUBSYSTEM=="misc",TAG+="uaccess",OPTIONS+="static_node=uinput"

Without that access Corvane uses the X server's test extension in an X11
session or under XWayland, and then reaches only X11 programs. When
neither way works, the status line says so, with the fix.

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

    sudo usermod -aG input $USER

then log out and in again. Be aware that any program you run may then
read every key you type, passwords included; Corvane only reads the
keyboards, never holds them for itself, and never keeps or writes a key.
Without that access Corvane watches the keyboard through the X server,
and then sees only the keys typed while an X11 program has the focus (in
a Wayland session, none typed into a native Wayland program).

"corvane --help" says which ways Corvane would use now and why;
--output uinput|x11 and --keys evdev|x11 choose them yourself, and a
choice that cannot work ends the start with a message.

Building from the source code

To make the package yourself, run in the source code's folder

    bash scripts/package.sh

and install build/corvane_1.2.0_amd64.deb as above. To build and run
Corvane without installing it:

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

To try a build without a tracker, run scripts/run.sh instead: it builds
the program and starts a copy of it in build/run together with a
simulated tracker whose head moves in a circle. That copy does not use
your serial ports and keeps its own settings.

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
a plain file, or a link to one that holds Corvane's settings exactly as
Corvane writes them (as a dotfile manager keeps them); a link to any
other file, even a damaged profiles file, or a folder, a device or a pipe
in a file's place, is refused with a message that names the link and
where it leads, and that file is left as it was.

Corvane runs only once per settings folder, as two would overwrite each
other's profiles. If you start it again while it runs, the running
Corvane's window comes to the front and nothing else happens. A lock
left by a Corvane that ended (a crash, a power cut) is taken over by the
next start. If Corvane says it is already running but shows no window, the
process it names holds the settings folder: end it and start Corvane again.

When your profiles are beside a copy of Corvane in a folder you may not
write, the first start that uses your configuration folder copies them,
and the comN entries, there, and says so once; the old folder stays as
it was. As another user may have made that folder, it copies a profile
file only when it is a plain file of yours (or the administrator's) that
holds Corvane's settings exactly as Corvane writes them, and a comN entry
only when it is such a link to a serial device; it copies nothing when
the profiles file does not qualify. What it leaves behind, it names.

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
profiles file of more than 10,000 records is taken as damaged too, so
Corvane never saves more than 10,000 profiles: Save As says so instead.

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
)")};
}

} // namespace corvane
