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
sim_pid=
corvane_pid=
cleanup() {
  if [[ -n $corvane_pid ]]; then kill -9 "$corvane_pid" 2>/dev/null || true; fi
  if [[ -n $sim_pid ]]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  xvfb_stop
}
trap cleanup EXIT

"$bin/corvane-tracker-sim" --link "$run/com1" --motion circle --no-control </dev/null >"$sim_log" 2>&1 &
sim_pid=$!
for ((i = 0; i < 50; i++)); do
  [[ -e $run/com1 ]] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if [[ ! -e $run/com1 ]]; then
  echo "The tracker simulator did not start; its output:" >&2
  cat "$sim_log" >&2
  exit 1
fi

if [[ -n ${DISPLAY:-} ]]; then
  echo "Corvane runs from $run with the simulated tracker on COM 1."
  echo "Click Start: the pointer follows the simulated head. Close the window to end."
  (cd "$run" && exec ./corvane)
  exit
fi

echo "No DISPLAY: running Corvane with the simulated tracker on a private Xvfb server for a few seconds."
screenshot="$root/build/corvane-screenshot.png"
xvfb_private_display

(cd "$run" && exec ./corvane) >"$log" 2>&1 &
corvane_pid=$!
window=$(wait_for_window "Tollan Corvane" 30 || true)
if [[ -z $window ]]; then
  echo "Corvane showed no window within 30 s; its output:" >&2
  cat "$log" >&2
  exit 1
fi

# Wait for the set-up: the simulator acknowledges it.
for ((i = 0; i < 100; i++)); do
  grep -q 'sent ack' "$sim_log" && break
  sleep 0.1
done

# Start_Command: left 120, top 510, 1335 x 315 twips; the window's width,
# 4425 twips, gives the scale.
window_geometry "$window"
x=$(awk -v w="$OUTER_WIDTH" -v o="$WINDOW_X" 'BEGIN { printf "%d", o + (120 + 1335 / 2) * w / 4425 }')
y=$(awk -v w="$OUTER_WIDTH" -v o="$WINDOW_Y" 'BEGIN { printf "%d", o + (510 + 315 / 2) * w / 4425 }')
xdotool mousemove --sync "$x" "$y" click 1

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
window_shot "$window" "$screenshot"

"$bin/corvane-x-close" "Tollan Corvane"
status=0
wait_for_exit "$corvane_pid" 10 || status=$?
corvane_pid=
if ((status != 0)); then
  echo "Corvane ended with status $status after its window was closed; its output:" >&2
  cat "$log" >&2
  exit 1
fi
if ((travelled == 0)); then
  echo "The pointer did not move; the simulator's log:" >&2
  cat "$sim_log" >&2
  exit 1
fi
echo "Tracking started: the pointer travelled $travelled px in 4 s (sampled every 0.1 s; the screen's edges stop it)."
echo "Screenshot: $screenshot"
echo "Corvane ran and closed normally."
