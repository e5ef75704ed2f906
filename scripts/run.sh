#!/usr/bin/env bash
# Builds Corvane (Release, in build/) and starts it wired to the bundled
# tracker simulator, so that it runs without a tracker: a copy of the program
# in build/run/ finds the simulator as COM 1 (build/run/com1, a link that the
# simulator makes and removes again), and the simulated head moves in a circle
# once tracking is started with the Start button.
#
# With a display, Corvane starts there; close its window to end (the
# simulator ends with it). Without a display it runs for a few seconds on a
# private Xvfb server, clicks Start itself, prints how far the pointer
# travelled, saves a screenshot and closes everything again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/xvfb-lib.sh"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON
cmake --build "$root/build" -j2 --target corvane corvane-tracker-sim corvane-x-close

bin="$root/build/bin"
run="$root/build/run"
mkdir -p "$run"
# A fresh copy each time (replaced, not overwritten, in case an older one still runs).
cp -f "$bin/corvane" "$run/.corvane.new"
mv -f "$run/.corvane.new" "$run/corvane"

sim_log="$run/simulator.log"
log="$run/corvane.log"
trap end_run EXIT

start_simulator "$bin" "$run/com1" "$sim_log" --motion circle --no-control

if [[ -n ${DISPLAY:-} ]]; then
  echo "Corvane runs from $run with the simulated tracker on COM 1."
  echo "Click Start: the pointer follows the simulated head. Close the window to end."
  (cd "$run" && exec ./corvane)
  exit
fi

echo "No DISPLAY: running Corvane with the simulated tracker on a private Xvfb server for a few seconds."
screenshot="$root/build/corvane-screenshot.png"
xvfb_private_display

start_corvane "$run" "$log"
click_start "$sim_log"

# Follow the pointer for 4 s from the middle of the screen.
xdotool mousemove --sync 512 384
travelled=0
last_x=512 last_y=384
for ((i = 0; i < 40; i++)); do
  sleep 0.1
  eval "$(xdotool getmouselocation --shell)"
  travelled=$((travelled + $(awk -v a="$X" -v b="$last_x" -v c="$Y" -v d="$last_y" \
    'BEGIN { printf "%d", sqrt((a - b) ^ 2 + (c - d) ^ 2) + 0.5 }')))
  last_x=$X last_y=$Y
done
window_shot "$CORVANE_WINDOW" "$screenshot"

close_corvane "$bin" "$log" || exit
if ((travelled == 0)); then
  echo "The pointer did not move; the simulator's log:" >&2
  cat "$sim_log" >&2
  exit 1
fi
echo "Tracking started: the pointer travelled $travelled px in 4 s (sampled every 0.1 s; the screen's edges stop it)."
echo "Screenshot: $screenshot"
echo "Corvane ran and closed normally."
