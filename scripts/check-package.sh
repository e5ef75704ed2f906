#!/usr/bin/env bash
# Checks the Debian package as a user gets it. Builds it (scripts/package.sh),
# checks it with lintian, desktop-file-validate and appstreamcli, unpacks it
# into a temporary root and runs the unpacked program there on a private Xvfb
# server, started from a folder it may not write and with a temporary HOME:
#   1. its first start writes the three default profiles into
#      ~/.config/Corvane, byte for byte as a copy of the same program in a
#      writable folder writes them beside itself;
#   2. nothing is written beside the program (nor anywhere in the root);
#   3. a tracker simulator linked as com1 in ~/.config/Corvane is found and
#      set up (its log says "sent ack").
# Then, as root (or with sudo without a password) and where no corvane
# package is installed yet, it installs the package with apt-get as a user
# does, and removes it again at the end:
#   4. the installation succeeds, the uinput module is loaded at boot, the
#      rule is in place, and the set-up after installation applied it to
#      /dev/uinput where udev runs, or said that udev does not run;
#   5. the installed program knows it came from the package: its help gives
#      the package's fix for /dev/uinput.
# Whether the program may write its folder is the system's answer for the
# user that runs it. Root may write nearly anywhere, so as root the programs
# run as the user nobody, for whom the root-owned unpacked usr/bin is not
# writable, just as /usr/bin is not for any user; otherwise the unpacked
# usr/bin loses its write permission.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/xvfb-lib.sh"

work=$(mktemp -d)
chmod 755 "$work"
pids=()
# Set once the package is installed here (with sudo, unless root), which is
# removed again at the end.
installed=
sudo=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  [[ -n $installed ]] && "${sudo[@]}" dpkg --purge corvane >/dev/null
  xvfb_stop
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "check-package: $*" >&2
  exit 1
}

deb=$(bash "$root/scripts/package.sh" | tail -n 1)
[[ -f $deb ]] || fail "scripts/package.sh built no package"
echo "package: $deb"
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends):'
lintian --fail-on error "$deb" || fail "lintian reports errors"
dpkg-deb -x "$deb" "$work/root" || fail "cannot unpack $deb"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop || fail "desktop entry not valid"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml || fail "metainfo not valid"
for page in corvane corvane-tracker-sim; do
  [[ -e $work/root/usr/share/man/man1/$page.1.gz ]] || fail "no manual page for $page"
done
# The window on a Wayland desktop needs Qt's Wayland plugin, and the pointer
# there /dev/uinput, which the udev rule opens to the user at the seat.
dpkg-deb --field "$deb" Depends | grep -qw qt6-wayland || fail "the package does not depend on qt6-wayland"
grep -qs 'TAG+="uaccess"' "$work"/root/usr/lib/udev/rules.d/70-corvane-uinput.rules ||
  fail "no udev rule that opens /dev/uinput to the user at the seat"

bin=$work/root/usr/bin
home=$work/home
runtime=$work/runtime
copy=$work/copy
mkdir -p "$home" "$copy" "$runtime"
chmod 700 "$runtime"
cp "$bin/corvane" "$copy/"
user=()
if [[ $(id -u) -eq 0 ]]; then
  user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  chown -R 65534:65534 "$home" "$copy" "$runtime"
else
  chmod a-w "$bin"
fi
config=$home/.config/Corvane

xvfb_start || fail "no Xvfb"
export DISPLAY=$XVFB_DISPLAY QT_QPA_PLATFORM=xcb

# The start of a command run as the user of the check, with the temporary
# HOME and the default configuration folder.
as_user=(env -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$runtime" "${user[@]}")

# run_corvane FOLDER PROGRAM LOG: starts PROGRAM from FOLDER, waits for its
# window, then ends it as the desktop does at logout (SIGTERM).
run_corvane() {
  (cd "$1" && exec "${as_user[@]}" "$2") >"$3" 2>&1 &
  local pid=$!
  pids+=("$pid")
  if [[ -z $(wait_for_window "Tollan Corvane" 30) ]]; then
    cat "$3" >&2
    fail "$2 showed no window"
  fi
  kill -TERM "$pid"
  wait_for_exit "$pid" 10 || fail "$2 did not end on SIGTERM (status $?)"
}

# What the program writes beside itself, in a folder it may write.
run_corvane "$copy" ./corvane "$work/copy.log"
for file in Profiles1.2.dat LastProfile1.2.dat; do
  [[ -s $copy/$file ]] || fail "the copy in a writable folder wrote no $file beside itself"
done
[[ ! -e $config ]] || fail "the copy in a writable folder wrote into $config"

# 1 and 2: the installed program's first start.
before=$(find "$work/root" -printf '%p %s %T@ %m\n' | sort)
run_corvane "$bin" "$bin/corvane" "$work/installed.log"
for file in Profiles1.2.dat LastProfile1.2.dat; do
  cmp "$copy/$file" "$config/$file" || fail "$config/$file differs from the one written beside the program"
done
echo "first start: the default profiles are in $config, as beside a writable program"
after=$(find "$work/root" -printf '%p %s %T@ %m\n' | sort)
[[ $before == "$after" ]] || fail "the installed program changed its root: $(diff <(echo "$before") <(echo "$after"))"
echo "nothing was written beside the installed program"

# 3: the simulator on COM 1 through the configuration folder.
"${as_user[@]}" "$bin/corvane-tracker-sim" --no-control --link "$config/com1" </dev/null >"$work/sim.log" 2>&1 &
pids+=($!)
for ((i = 0; i < 50; i++)); do
  [[ -e $config/com1 ]] && break
  sleep 0.1
done
[[ -e $config/com1 ]] || fail "the simulator made no link: $(cat "$work/sim.log")"
(cd "$bin" && exec "${as_user[@]}" "$bin/corvane") >"$work/link.log" 2>&1 &
corvane=$!
pids+=("$corvane")
wait_for_setup "$work/sim.log" || fail "the installed program did not set up the simulator on $config/com1: $(cat "$work/sim.log")"
echo "the tracker simulator linked as $config/com1 was found and set up"
kill -TERM "$corvane"
wait_for_exit "$corvane" 10 || fail "corvane did not end on SIGTERM"

# 4 and 5: the package installed with apt-get, where this may be done.
if [[ $(id -u) -ne 0 ]]; then
  sudo -n true 2>/dev/null || { echo "package check passed, without the installation (it needs root)"; exit 0; }
  sudo=(sudo -n)
fi
if [[ $(dpkg-query -W -f='${db:Status-Status}' corvane 2>/dev/null) == installed ]]; then
  echo "package check passed, without the installation: a corvane package is installed here already"
  exit 0
fi
installed=1
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=120 "$deb" \
  >"$work/apt.log" 2>&1 || fail "apt-get cannot install the package: $(cat "$work/apt.log")"
[[ $(dpkg-query -W -f='${db:Status-Status}' corvane) == installed ]] || fail "apt-get left corvane not installed"
grep -qx uinput /usr/lib/modules-load.d/corvane.conf || fail "the package does not load the uinput module at boot"
grep -qs 'TAG+="uaccess"' /usr/lib/udev/rules.d/70-corvane-uinput.rules || fail "the installed package has no udev rule"
if [[ -S /run/udev/control ]]; then
  [[ -e /sys/class/misc/uinput ]] || fail "the installation did not load the uinput module: $(cat "$work/apt.log")"
  udevadm info --query=property --name=/dev/uinput | grep -q '^TAGS=.*:uaccess:' ||
    fail "the installation did not apply the udev rule to /dev/uinput: $(udevadm info --name=/dev/uinput)"
  echo "installed: udev applied the rule to /dev/uinput"
else
  grep -q "udev is not running" "$work/apt.log" || fail "the installation without udev did not say so: $(cat "$work/apt.log")"
  echo "installed where udev does not run: the installation said so and succeeded"
fi
help=$("${as_user[@]}" /usr/bin/corvane --help) || fail "the installed corvane --help failed"
if [[ $help == *"/dev/uinput cannot be opened"* ]]; then
  [[ $help == *"The package's udev rule"*"sudo modprobe uinput && sudo udevadm trigger"* && $help != *"sudo tee"* ]] ||
    fail "the installed program does not give the package's fix for /dev/uinput: $help"
  echo "the installed program gives the package's fix for /dev/uinput"
fi
"${sudo[@]}" dpkg --purge corvane >/dev/null || fail "the package cannot be removed"
installed=
[[ ! -e /usr/lib/modules-load.d/corvane.conf && ! -e /usr/bin/corvane ]] || fail "removing the package left its files"
echo "package check passed"
