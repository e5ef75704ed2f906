#!/usr/bin/env bash
# The main window as a native Wayland client: the real program under a
# private headless sway, with no X display. sway refuses to run as root, so as
# root both run as the user nobody, with their own runtime and home folders
# and a copy of the program in a folder that user may write (its settings
# folder). Checks:
#   - the window is an xdg-shell window titled "Tollan Corvane" whose app id
#     is the name of the desktop entry DESKTOP_ENTRY, so that a dock finds
#     the entry and its icon; it is 4425 x 2520 (2010 and the status line)
#     twips: the whole outer size is its inside while sway draws the frame,
#     which the program cannot know; with Qt's own title bar, which it can,
#     the title bar is part of it, as a window manager's frame is on X11;
#   - the help window, opened from the keyboard, is 7995 x 5460 twips with
#     Qt's title bar;
#   - a screenshot of the main window (kept as wayland-window.png in
#     OUTPUT_FOLDER) is as large as the window with sway's title bar, and not
#     blank;
#   - the program says at start why the pointer cannot move when /dev/uinput
#     cannot be opened for writing, and only then, and its status line says
#     so (or that the tracker is found and stopped, when it can be opened);
#   - with no event device to read, a mapping of "Default Flight Simulator"
#     (the last profile) records the keys typed into the window, by physical
#     key: Q, then Ctrl + A, typed on a virtual keyboard with the US layout
#     (wayland_input.py, which also clicks), are saved as
#     D081U081D162D065U065U162;
#   - Qt warns of nothing;
#   - when the compositor ends, the program stops and resets the tracker (the
#     simulator, as COM 1) before it ends with status 1, as when an X server
#     ends under it.
#
#   test_e2e_wayland.sh CORVANE SIMULATOR OUTPUT_FOLDER DESKTOP_ENTRY
set -uo pipefail

program=$1
simulator=$2
output=$3
entry=$(basename "$4" .desktop)
uinputMessage="/dev/uinput cannot be opened for writing"

fail() {
  echo "test_e2e_wayland: $*" >&2
  for log in sway.log corvane.err; do
    [[ -s $work/$log ]] && { echo "--- $log" >&2; cat "$work/$log" >&2; }
  done
  exit 1
}

for tool in sway swaymsg grim wtype jq identify convert; do
  command -v "$tool" >/dev/null || { echo "test_e2e_wayland: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/runtime" "$work/home" "$work/app"
chmod 700 "$work/runtime"
cp "$program" "$work/app/corvane"
# COM 2 to 4 lead nowhere, so that no serial port of the machine is opened;
# the simulator links COM 1 below.
for n in 2 3 4; do ln -s "no-device-$n" "$work/app/com$n"; done
# The last profile, whose keys are mapped.
printf '"Default Flight Simulator"\r\n' >"$work/app/LastProfile1.2.dat"
cat >"$work/sway.conf" <<'EOF'
xwayland disable
output * resolution 1024x768
for_window [title="^Corvane Information$"] floating enable, border csd
EOF
# The programs die with this script, also when it is killed.
user=(setpriv --pdeathsig KILL)
if [[ $(id -u) -eq 0 ]]; then
  user=(setpriv --reuid=65534 --regid=65534 --clear-groups --pdeathsig KILL)
  chown -R 65534:65534 "$work/runtime" "$work/home" "$work/app"
fi
touch "$work/sway.log" "$work/corvane.err"

# A command as that user, in a clean environment: no DISPLAY, no
# QT_QPA_PLATFORM, nothing of a desktop session this test may run in.
environment=(PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8)
for name in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
  [[ -n ${!name:-} ]] && environment+=("$name=${!name}")
done
as_user() { "${user[@]}" env -i "${environment[@]}" "$@"; }

# sway, and the program below, each run in a subshell that becomes it, so
# that the ids the clean-up ends are theirs.
(exec "${user[@]}" env -i "${environment[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$work/sway.conf") >"$work/sway.log" 2>&1 &
pids+=($!)
socket= ipc=
for ((i = 0; i < 100; i++)); do
  socket=$(find "$work/runtime" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -n 1)
  ipc=$(find "$work/runtime" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
  [[ -n $socket && -n $ipc ]] && break
  sleep 0.1
done
[[ -n $socket && -n $ipc ]] || fail "sway did not start"
environment+=(WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc")

# The simulator reads commands until its input ends: this script's end.
(exec "${user[@]}" "$simulator" --link "$work/app/com1" --record "$work/app/record.bin" < <(sleep 600)) \
  >"$work/sim.log" 2>&1 &
pids+=($!)
for ((i = 0; i < 50; i++)); do [[ -e $work/app/com1 ]] && break; sleep 0.1; done

(cd "$work/app" && exec "${user[@]}" env -i "${environment[@]}" QT_LOGGING_RULES=corvane.status.info=true ./corvane) \
  >/dev/null 2>"$work/corvane.err" &
corvane=$!
pids+=("$corvane")

# window [TITLE]: the program's window titled TITLE (the main window by
# default) in sway's tree, as one line of JSON.
window() {
  as_user swaymsg -t get_tree | jq -c --argjson pid "$corvane" --arg title "${1:-Tollan Corvane}" \
    'first(.. | objects | select(.pid? == $pid and .name == $title))'
}
# wait_for FILTER [TIMES [TITLE]]: waits (up to 15 s) until the jq FILTER
# holds for the window TIMES polls in a row, 0.1 s apart (once by default):
# sway lists a size of its own choosing for a moment before the program
# answers.
wait_for() {
  local held=0
  for ((i = 0; i < 150; i++)); do
    node=$(window "${3:-}")
    if [[ -n $node ]] && jq -e "$1" <<<"$node" >/dev/null; then
      ((++held >= ${2:-1})) && return 0
    else
      held=0
    fi
    kill -0 "$corvane" 2>/dev/null || fail "the program ended early"
    sleep 0.1
  done
  return 1
}
# shown: what the failure messages tell of the window.
shown() { jq -c '{shell, border, rect, window_rect}' <<<"$node"; }
wait_for '.visible' || fail "no window titled \"Tollan Corvane\": $(as_user swaymsg -t get_tree |
  jq -c '[.. | objects | select(.pid? > 0) | {name, pid, shell}]')"
shell=$(jq -r .shell <<<"$node")
[[ $shell == xdg_shell ]] || fail "the window is an $shell window, not a native Wayland (xdg_shell) one"
app_id=$(jq -r .app_id <<<"$node")
[[ $app_id == "$entry" ]] || fail "the window's app id is \"$app_id\", not the desktop entry's name $entry"

# 4425 x 2520 twips (2010 and the status line) at Wayland's 96 dpi, all inside sway's frame (its title
# bar and border, once sway has taken on drawing them).
wait_for '.border == "normal" and .window_rect.width == 295 and .window_rect.height == 168' 10 ||
  fail "inside sway's frame the window is not 295 x 168: $(shown)"
# The window with sway's frame, and the inside alone, which has one colour
# while it is blank: the screen may show it a little after sway lists it.
for ((i = 0; i < 50; i++)); do
  node=$(window)
  read -r x y width height left top < <(jq -r '[.rect.x, .deco_rect.y, .rect.width, .rect.height + .deco_rect.height,
    .window_rect.x, .deco_rect.height + .window_rect.y] | map(tostring) | join(" ")' <<<"$node")
  as_user grim -g "$x,$y ${width}x$height" - >"$work/shot.png" || fail "grim took no screenshot"
  colours=$(convert "$work/shot.png" -crop "295x168+$left+$top" +repage -format '%k' info:)
  ((colours >= 16)) && break
  sleep 0.1
done
cp "$work/shot.png" "$output/wayland-window.png"
((colours >= 16)) || fail "the window is blank: $colours colours ($output/wayland-window.png)"
size=$(identify -format '%wx%h' "$work/shot.png")
[[ $size == "${width}x$height" ]] || fail "the screenshot is $size, not ${width}x$height"

# With Qt's own title bar the outer size is the window's, and without it
# again the inside.
id=$(jq .id <<<"$node")
as_user swaymsg "[con_id=$id] border csd" >/dev/null
wait_for '.border == "csd" and .rect.width == 295 and .rect.height == 168' 10 ||
  fail "with Qt's title bar the outer size is not 295 x 168: $(shown)"
as_user swaymsg "[con_id=$id] border normal" >/dev/null
wait_for '.border == "normal" and .window_rect.width == 295 and .window_rect.height == 168' 10 ||
  fail "without Qt's title bar the inside is not 295 x 168 again: $(shown)"

# Help, the third control after the profile list: after the first wait the
# keys reach the program, not only the virtual keyboard that sends them.
as_user wtype -s 1000 -k Tab -k Tab -k Tab -k space || fail "wtype typed nothing"
wait_for '.border == "csd" and .rect.width == 533 and .rect.height == 364' 10 "Corvane Information" ||
  fail "the help window with Qt's title bar is not 533 x 364: $(shown)"

# A recording by physical key, when no event device can be read (the
# program's own window is then all it hears), saved with Save and Yes.
input=(python3 "$(dirname "${BASH_SOURCE[0]}")/wayland_input.py")
# click LEFT TOP: a click at a point of the main window, in twips (15 a pixel).
click() {
  as_user "${input[@]}" click $((x0 + $1 / 15)) $((y0 + $2 / 15)) || fail "wayland_input.py did not click"
}
if as_user bash -c 'for f in /dev/input/event*; do [[ -r $f ]] && exit 0; done; exit 1'; then
  echo "test_e2e_wayland: an event device can be read: the recording from the window is not checked" >&2
else
  as_user swaymsg '[title="^Corvane Information$"] kill' >/dev/null
  node=$(window)
  read -r x0 y0 < <(jq -r '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y)"' <<<"$node")
  # Show Settings, the Keyboard tab, Turn Right; the keys; Turn Right again, Save.
  click 2167 667
  wait_for '.window_rect.height == 479' 1 || fail "the settings panel did not open: $(shown)"
  click 2550 1155
  click 997 2797
  as_user "${input[@]}" keys +16 -16 +29 +30 -30 -29 || fail "wayland_input.py typed nothing"
  click 997 2797
  click 1677 5197
  wait_for '.visible' 1 "Corvane Save Confirmation" || fail "no save confirmation came up"
  as_user "${input[@]}" keys +28 -28 || fail "wayland_input.py typed nothing"
  turnRight='"Emulate Keys","D160D190U190U160","D081U081D162D065U065U162",'
  for ((i = 0; i < 50; i++)); do grep -qF "$turnRight" "$work/app/Profiles1.2.dat" 2>/dev/null && break; sleep 0.1; done
  grep -qF "$turnRight" "$work/app/Profiles1.2.dat" ||
    fail "the saved profile does not hold the keys typed: $(head -n 1 "$work/app/Profiles1.2.dat" 2>&1)"
fi

# Said at start, on standard error.
if as_user test -w /dev/uinput; then
  grep -qF "$uinputMessage" "$work/corvane.err" && fail "it says \"$uinputMessage\", though it can open it"
else
  grep -qF "$uinputMessage" "$work/corvane.err" || fail "it does not say that $uinputMessage"
fi
grep -E '^(qt\.|Q[A-Za-z]+::|Warning:)' "$work/corvane.err" && fail "Qt warned"

# The tracker set up, the compositor ends.
setUp='!!!M3,0,A,3,4,1,2'$'\r''!'
for ((i = 0; i < 100; i++)); do [[ $(cat "$work/app/record.bin") == "$setUp" ]] && break; sleep 0.1; done
[[ $(cat "$work/app/record.bin") == "$setUp" ]] || fail "the tracker was not set up: $(od -c "$work/app/record.bin")"
# The status line: the problem that keeps the pointer still comes first;
# without it, the tracker found and stopped.
if as_user test -w /dev/uinput; then
  status='corvane.status: Tracker on COM 1 ('
else
  status='corvane.status: The pointer cannot be moved: '
fi
for ((i = 0; i < 50; i++)); do grep -qF "$status" "$work/corvane.err" && break; sleep 0.1; done
grep -qF "$status" "$work/corvane.err" || fail "the status line never said \"$status\": $(grep status "$work/corvane.err")"
kill -KILL "${pids[0]}"
for ((i = 0; i < 100; i++)); do
  kill -0 "$corvane" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$corvane" 2>/dev/null && fail "the program did not end within 10 s of the compositor's end"
wait "$corvane"
status=$?
((status == 1)) || fail "the program ended with status $status when the compositor ended"
[[ $(cat "$work/app/record.bin") == "$setUp!!R"$'\r' ]] ||
  fail "the tracker was not stopped and reset: $(od -c "$work/app/record.bin")"
grep -qF "The connection to the Wayland display $socket broke" "$work/corvane.err" ||
  fail "it does not say that the connection to the Wayland display broke"
