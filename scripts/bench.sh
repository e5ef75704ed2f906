#!/usr/bin/env bash
# Builds Corvane (Release, in build/) and measures it on a private Xvfb server:
#   corvane-bench-startup  launch to shown (first and normal starts) and peak
#                          resident memory, beside corvane-bench-empty-window,
#                          an empty Qt window of the same size and style started
#                          in turn with them: the normal start's median launch
#                          time at most 1.3 times the empty window's, its median
#                          peak memory at most 1.2 times; the CPU while idle
#                          and stopped, searching the ports and waiting on an
#                          open port that never answers, at most 0.1% of one
#                          core each; the time from window closed to exit.
#                          Beside them, as a floor, the same figures of
#                          corvane-bench-window-alone: Corvane's window over
#                          the recording fakes, with nothing else of it. The
#                          arguments of this script go to it (--runs N,
#                          --idle-seconds S);
#   corvane-bench-latency  tracker-to-pointer latency at cycle delays of 5, 10
#                          and 20 ms (median at most delay/2 + 1 ms; 99th
#                          percentile at most 6 ms at 5 ms, delay + 2 ms at 10
#                          and 20 ms) and the CPU while streaming: window,
#                          CPU time, cycles, CPU per cycle and share of one
#                          core (at most 50 us per cycle at 20 ms, 1% of one
#                          core at 5 ms), against the simulator. 5 ms is
#                          picked in the profile list after a start at 10 ms,
#                          as a user must, and each delay is measured only when
#                          the program's main thread sleeps that long a cycle;
#   corvane-bench-decoder  packet decoder throughput;
#   corvane-bench-keys     one key-state poll and one six-key stroke sent, and
#                          the keyboard poll and the keyboard stage as the
#                          main loop runs them;
#   corvane-bench-input    one move, one six-key sequence and one key-state
#                          snapshot through uinput/evdev and through X11, and
#                          one joystick frame (two axes) through uinput, side
#                          by side in the test VM (scripts/in-vm.sh) with an
#                          Xvfb of its own, as only the VM has /dev/uinput;
#   corvane-bench-hostile  what damaged input costs: long key sequences and
#                          profiles files of commas, time and peak memory by size;
#   corvane-bench-given-ports  one step of the port search with thousands of
#                          paths in CORVANE_SERIAL_PORTS.
# The figures are printed against their targets; the script fails only when a
# figure could not be measured at all.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/xvfb-lib.sh"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON
cmake --build "$root/build" -j2 --target corvane corvane-tracker-sim corvane-bench-startup corvane-bench-empty-window \
  corvane-bench-window-alone corvane-bench-latency corvane-bench-decoder corvane-bench-keys corvane-bench-hostile corvane-bench-input \
  corvane-bench-given-ports

trap xvfb_stop EXIT
xvfb_private_display
bin="$root/build/bin"

printf '==== start-up\n'
"$bin/corvane-bench-startup" --baseline "$bin/corvane-bench-empty-window" "$@" "$bin/corvane"

printf '\n==== tracker to pointer\n'
"$bin/corvane-bench-latency" --simulator "$bin/corvane-tracker-sim" "$bin/corvane"

printf '\n==== decoder\n'
"$bin/corvane-bench-decoder"

printf '\n==== keys\n'
"$bin/corvane-bench-keys"

printf '\n==== input backends, in the test VM (software emulation: compare the rows, not the host)\n'
bash "$root/scripts/in-vm.sh" "Xvfb :7 -nolisten tcp >/tmp/xvfb.log 2>&1 & for i in \$(seq 100); do [ -e /tmp/.X11-unix/X7 ] && break; sleep 0.1; done; DISPLAY=:7 '$bin/corvane-bench-input'" \
  || echo "the input backends could not be measured in the VM"

printf '\n==== damaged input\n'
"$bin/corvane-bench-hostile" || true

printf '\n==== port search over given paths\n'
"$bin/corvane-bench-given-ports"
