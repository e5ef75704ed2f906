#!/usr/bin/env bash
# The main window on a private accessibility bus and from the keyboard alone
# (access_walk.py): run through scripts/with-display.sh, on $DISPLAY.
#
# A simulated tracker on COM 1 keeps the program's loop at its profile's
# delay, as with a real tracker, rather than at the search's pace.
#
#   test_e2e_access.sh CORVANE SIMULATOR [--dump]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for tool in dbus-run-session xdotool /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "test_e2e_access: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
/usr/bin/python3 -c 'import pyatspi' || { echo "test_e2e_access: python3-pyatspi is missing" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null; rm -rf "$WORK"' EXIT
# A private settings folder: a copy of the program, COM 2 to 4 leading nowhere.
mkdir -p "$WORK/app" && cp "$1" "$WORK/app/corvane"
for n in 2 3 4; do ln -s "no-device-$n" "$WORK/app/com$n"; done
"$2" --link "$WORK/app/com1" --no-control </dev/null >"$WORK/sim.log" 2>&1 &
sim=$!
for ((i = 0; i < 50; i++)); do [[ -e $WORK/app/com1 ]] && break; sleep 0.1; done
unset DBUS_SESSION_BUS_ADDRESS XDG_CONFIG_HOME AT_SPI_BUS_ADDRESS
export HOME=$WORK LC_ALL=C.UTF-8 NO_AT_BRIDGE=0
dbus-run-session -- /usr/bin/python3 "$here/access_walk.py" "$WORK/app/corvane" "${@:3}"
