#!/usr/bin/env bash
# Builds Corvane (Release, in build/), runs a fresh copy of it on a private
# Xvfb server under the openbox window manager, at 96 dpi and again at 144 dpi
# (a desktop scaled to 150%), and saves screenshots of its main window with
# its frame in build/screenshots/96/ and build/screenshots/144/: hidden.png
# (settings hidden), then tracker.png, mouse.png, keyboard.png and other.png
# (settings shown, one per tab), tooltip.png: the tooltip of the port list,
# and recording.png: the Keyboard tab while "Turn Left" records left Ctrl held
# and S typed. It prints the link's log (corvane.link) of each run.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [[ -z ${1:-} ]]; then
  bash "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON
  cmake --build "$root/build" -j2 --target corvane corvane-tracker-sim corvane-x-close
  for dpi in 96 144; do
    bash "$0" "$dpi"
  done
  echo "Screenshots are in $root/build/screenshots"
  exit 0
fi

source "$root/scripts/xvfb-lib.sh"
out="$root/build/screenshots/$1"
mkdir -p "$out"
folder=$(mktemp -d)
trap 'end_run "$folder"' EXIT

XVFB_DPI=$1 xvfb_private_display 1600x1200x24
xvfb_window_manager

# The simulated tracker as COM 1, so that the main loop is not held up
# searching the ports and the keyboard poll runs in every cycle.
start_simulator "$root/build/bin" "$folder/com1" "$folder/sim.log" --no-control

# A copy in an empty folder starts as on a first run, with the default profiles.
cp "$root/build/bin/corvane" "$folder/corvane"
QT_LOGGING_RULES=corvane.link=true start_corvane "$folder" "$folder/corvane-output.log"
window=$CORVANE_WINDOW

# Positions inside the window are in twips (point_twips, click_twips); each
# click gets a second to take effect.
click() {
  click_twips "$1" "$2"
  sleep 1
}

previous=
shot() {
  window_shot "$window" "$out/$1"
  if [[ -n $previous ]] && cmp -s <(convert "$out/$previous" rgb:-) <(convert "$out/$1" rgb:-); then
    echo "$1 looks the same as $previous: the click changed nothing" >&2
    exit 1
  fi
  previous=$1
  echo "saved $out/$1 (outer ${OUTER_WIDTH}x${OUTER_HEIGHT}, inside ${WINDOW_WIDTH}x${WINDOW_HEIGHT})"
}

sleep 1
shot hidden.png

# "Show Settings": left 1500, top 510, 1335 x 315.
click $((1500 + 1335 / 2)) $((510 + 315 / 2))
shot tracker.png

# The pointer rests on the port list (left 1380, top 300 in the frame
# "Connection" at 240, 1890). Its tooltip reaches past the window's right
# edge, so the shot is wider than the window.
point_twips $((240 + 1380 + 2295 / 2)) $((1890 + 300 + 315 / 2))
sleep 2
window_shot "$window" "$out/tooltip.png" $((OUTER_WIDTH * 3))
echo "saved $out/tooltip.png"

# Tab centres along the tab bar, which starts at left 120, top 960.
tab_row=1155
click 1545 "$tab_row"
shot mouse.png
click 2550 "$tab_row"
shot keyboard.png
click 3540 "$tab_row"
shot other.png

# Back on the Keyboard tab: key mode "Emulate Keys", the third item of the
# mode list (left 1380, top 120 in its frame at 240, 1410), which enables the
# mapping buttons; then "Turn Left" (left 240, top 300 in the frame
# "Mappings" at 240, 1890) pressed in, left Ctrl held down and S typed.
click 2550 "$tab_row"
click $((240 + 1380 + 2295 / 2)) $((1410 + 120 + 315 / 2))
xdotool key --delay 150 Down Down Return
sleep 1
click $((240 + 240 + 1035 / 2)) $((1890 + 300 + 315 / 2))
xdotool keydown Control_L
sleep 0.5
xdotool key s
sleep 0.5
shot recording.png
xdotool keyup Control_L

close_corvane "$root/build/bin" "$folder/corvane-output.log" || exit
echo "The link's log at $1 dpi:"
grep '^corvane.link' "$folder/corvane-output.log" || true
