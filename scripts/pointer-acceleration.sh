#!/usr/bin/env bash
# Measures what the desktop's pointer acceleration makes of Corvane's motion
# through uinput: in the test VM (scripts/in-vm.sh), corvane-bench-input
# moves Corvane's virtual pointer from rest steadily, DX counts every 20 ms
# (the default cycle) for two seconds, while libinput reads the device under
# its adaptive and its flat acceleration profile. Prints, per DX and
# profile, the first three frames' motion as libinput reported it (the
# start of a turn) and the median of all frames.
#
#   scripts/pointer-acceleration.sh [BUILD_DIR]    (default build)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bin="$build/bin/corvane-bench-input"
[[ -x $bin ]] || { echo "pointer-acceleration.sh: build $bin first" >&2; exit 2; }
command -v libinput >/dev/null || { echo "pointer-acceleration.sh: libinput (libinput-tools) is missing" >&2; exit 2; }

# The part that runs inside the VM: one steady motion under one profile.
inner=$(cat <<'INNER'
measure() { # DX PROFILE
  "$BIN" --motion "$1,20,100,3000" & writer=$!
  local node="" i n
  for i in $(seq 50); do
    for n in /sys/class/input/event*; do
      [[ $(cat "$n/device/name" 2>/dev/null) == "Corvane virtual pointer" ]] && node=/dev/input/${n##*/}
    done
    [[ -n $node ]] && break
    sleep 0.05
  done
  [[ -n $node ]] || { echo "no virtual pointer appeared"; return 1; }
  timeout 7 libinput debug-events --device "$node" --set-profile="$2" > /tmp/events.txt 2>&1 & reader=$!
  wait "$writer"; wait "$reader" || true
  # "POINTER_MOTION ... +1.234s   1.60/  0.00 ( +5.00/ +0.00)": the first pair is what the desktop moves.
  local values count
  values=$(awk '/POINTER_MOTION/ { sub(/.*s[ \t]+/, ""); split($0, a, "/"); print a[1] + 0 }' /tmp/events.txt | sort -g)
  count=$(grep -c . <<< "$values" || true)
  if ((count == 0)); then printf '%6d  %-9s  no motion seen\n' "$1" "$2"; return; fi
  local first
  first=$(awk '/POINTER_MOTION/ { sub(/.*s[ \t]+/, ""); split($0, a, "/"); printf "%.2f ", a[1]; if (++n == 3) exit }' /tmp/events.txt)
  printf '%6d  %-9s  %-20s  %8.2f  %6d\n' "$1" "$2" "$first" "$(sed -n "$(((count + 1) / 2))p" <<< "$values")" "$count"
}
printf '%6s  %-9s  %-20s  %8s  %6s\n' "sent" "profile" "first three frames" "median" "frames"
for dx in 1 2 5 10 20 40; do
  for profile in adaptive flat; do measure "$dx" "$profile"; done
done
INNER
)
exec bash "$root/scripts/in-vm.sh" "BIN='$bin'; $inner"
