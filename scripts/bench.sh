#!/usr/bin/env bash
# Builds Corvane (Release, in build/) and measures its start-up time, memory
# and idle CPU on a private Xvfb server. Arguments go to corvane-bench-startup
# (--runs N, --idle-seconds S).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/xvfb-lib.sh"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON
cmake --build "$root/build" -j2 --target corvane corvane-bench-startup

trap xvfb_stop EXIT
xvfb_start 1024x768x24
xvfb_runtime_dir
DISPLAY=$XVFB_DISPLAY "$root/build/bin/corvane-bench-startup" "$@" "$root/build/bin/corvane"
