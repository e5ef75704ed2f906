#!/usr/bin/env bash
# The soak benchmark: runs the real program (Release, build/) on a private Xvfb
# server with the tracker simulator streaming Mouse Emulation packets at 60
# per second in a circle, tracking started, for MINUTES minutes (default 30).
# Every 30 s it samples the program's resident memory and CPU time and prints
# them as a table; at the end it judges the run:
#   - the resident memory may grow by at most 1 MB after the first two minutes;
#   - the CPU time per cycle over the last two minutes is within 10% of that
#     over the two minutes after the first two. (One interval alone swings by
#     15% on a busy machine; four of them average that out.)
# A cycle sleeps the profile's delay (20 ms) and then works for a fraction of a
# millisecond, so the cycles come at a near-constant rate: the CPU time per
# cycle is the CPU time of an interval over the cycles that fit into it.
#
#   scripts/soak.sh [MINUTES] [--keys]
#
# --keys runs "Default Flight Simulator" instead of "Default Mouse Emulation":
# its key mappings turn the circling head into key strokes ("Emulate Keys"),
# so the keyboard stages are busy every cycle as well.
# It is a benchmark, not a test: the test command does not run it. The exit
# status is 1 when a target is missed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/xvfb-lib.sh"

minutes=30
keys=
for arg in "$@"; do
  case $arg in
    --keys) keys=1 ;;
    *[!0-9]* | '') echo "usage: scripts/soak.sh [MINUTES] [--keys]" >&2; exit 2 ;;
    *) minutes=$arg ;;
  esac
done
if ((minutes < 6)); then
  echo "soak.sh: the run needs at least 6 minutes (the first two are not judged, then two minutes are compared with the last two)" >&2
  exit 2
fi

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON >/dev/null
cmake --build "$root/build" -j2 --target corvane corvane-tracker-sim corvane-x-close

bin="$root/build/bin"
folder=$(mktemp -d)
trap 'end_run "$folder"' EXIT

xvfb_private_display
cp "$bin/corvane" "$folder/corvane"
if [[ -n $keys ]]; then
  printf '"Default Flight Simulator"\r\n' >"$folder/LastProfile1.2.dat"
fi
# COM 2 to 4 lead nowhere, so the search never leaves the folder.
for n in 2 3 4; do ln -s "$folder/no-device" "$folder/com$n"; done
start_simulator "$bin" "$folder/com1" "$folder/sim.log" --motion circle --no-control
start_corvane "$folder" "$folder/corvane.log"
click_start "$folder/sim.log"
sleep 1
if ! grep -q 'streaming' "$folder/sim.log"; then
  echo "Tracking did not start; the simulator's log:" >&2
  cat "$folder/sim.log" >&2
  exit 1
fi

ticks=$(getconf CLK_TCK)
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$CORVANE_PID/status"; }
# User plus system time, in clock ticks (fields 14 and 15 after the name).
cpu_ticks() { sed 's/.*) //' "/proc/$CORVANE_PID/stat" | awk '{ print $12 + $13 }'; }

echo "Soak: $minutes minutes, ${keys:+keyboard stages busy, }sampled every 30 s"
printf '%8s %10s %10s %14s\n' "minutes" "RSS kB" "CPU s" "CPU us/cycle"
start=$(date +%s.%N)
last_cpu=$(cpu_ticks) last_time=$start
judged_rss= cycles=()
samples=$((minutes * 2))
for ((s = 1; s <= samples; s++)); do
  sleep_until=$(awk -v a="$start" -v s="$s" 'BEGIN { printf "%.3f", a + 30 * s }')
  sleep "$(awk -v t="$sleep_until" -v n="$(date +%s.%N)" 'BEGIN { d = t - n; printf "%.3f", (d > 0 ? d : 0) }')"
  kill -0 "$CORVANE_PID" 2>/dev/null || { echo "Corvane ended during the soak" >&2; exit 1; }
  now=$(date +%s.%N) rss=$(rss_kb) cpu=$(cpu_ticks)
  # Cycles in the interval: its length over one cycle, the 20 ms delay plus
  # the cycle's own work, which is the CPU time it took.
  cycle_us=$(awk -v c=$((cpu - last_cpu)) -v t="$ticks" -v w="$now" -v l="$last_time" \
    'BEGIN { cpu = c / t; cycles = ((w - l) - cpu) / 0.020; printf "%.0f", cpu / cycles * 1e6 }')
  printf '%8.1f %10d %10.2f %14d\n' "$(awk -v s="$s" 'BEGIN { print s / 2 }')" "$rss" \
    "$(awk -v c="$cpu" -v t="$ticks" 'BEGIN { print c / t }')" "$cycle_us"
  if ((s == 4)); then judged_rss=$rss; fi
  cycles+=("$cycle_us")
  last_cpu=$cpu last_time=$now
done

"$bin/corvane-x-close" "Tollan Corvane"
wait_for_exit "$CORVANE_PID" 10 || true
CORVANE_PID=

growth=$((rss - judged_rss))
echo "Resident memory after 2 minutes: $judged_rss kB; at the end: $rss kB; growth $growth kB (target: at most 1024)"
mean() { printf '%s\n' "$@" | awk '{ s += $1 } END { printf "%.0f", s / NR }'; }
first_cycle=$(mean "${cycles[@]:4:4}")
last_cycle=$(mean "${cycles[@]: -4}")
echo "CPU per cycle from 2 to 4 minutes: $first_cycle us; over the last 2 minutes: $last_cycle us (target: within 10%)"
status=0
if ((growth > 1024)); then echo "MISSED: the memory grows" >&2; status=1; fi
if awk -v a="$first_cycle" -v b="$last_cycle" 'BEGIN { exit !(b > a * 1.1 || b < a * 0.9) }'; then
  echo "MISSED: the CPU per cycle changed by more than 10%" >&2
  status=1
fi
exit $status
