#!/usr/bin/env bash
# Builds Corvane (Release, in build/) and starts it.
# Without a display it runs Corvane for about 5 seconds on a private Xvfb
# server, saves a screenshot of its window and closes it again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/xvfb-lib.sh"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON
cmake --build "$root/build" -j2 --target corvane corvane-x-close

program="$root/build/bin/corvane"
if [[ -n ${DISPLAY:-} ]]; then
  exec "$program"
fi

echo "No DISPLAY: running Corvane on a private Xvfb server for about 5 seconds."
screenshot="$root/build/corvane-screenshot.png"
log="$root/build/corvane-run.log"
corvane_pid=
cleanup() {
  if [[ -n $corvane_pid ]]; then kill -9 "$corvane_pid" 2>/dev/null || true; fi
  xvfb_stop
}
trap cleanup EXIT

xvfb_start 1024x768x24
xvfb_runtime_dir
export DISPLAY=$XVFB_DISPLAY

"$program" >"$log" 2>&1 &
corvane_pid=$!
window=$(wait_for_window "Tollan Corvane" 30 || true)
if [[ -z $window ]]; then
  echo "Corvane showed no window within 30 s; its output:" >&2
  cat "$log" >&2
  exit 1
fi
sleep 5
window_shot "$window" "$screenshot"

"$root/build/bin/corvane-x-close" "Tollan Corvane"
status=0
wait_for_exit "$corvane_pid" 10 || status=$?
corvane_pid=
if ((status != 0)); then
  echo "Corvane ended with status $status after its window was closed; its output:" >&2
  cat "$log" >&2
  exit 1
fi
echo "Corvane ran and closed normally."
echo "Screenshot: $screenshot"
