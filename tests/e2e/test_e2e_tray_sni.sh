#!/usr/bin/env bash
# The tray icon as a StatusNotifierItem: the real program as a native
# Wayland client under a private headless sway, with waybar's tray (which
# keeps the org.kde.StatusNotifierWatcher) on a private session bus. As
# root all run as the user nobody (sway refuses root). Checks:
#   - the program registers an item with the watcher; its tooltip is the
#     status line's sentence;
#   - the item's menu (com.canonical.dbusmenu): Start puts "S" on the wire
#     and becomes Stop; Hide Window takes the window from sway's tree and
#     Show Window brings it back; "Start when I log in" writes an autostart
#     entry that desktop-file-validate accepts; Quit ends the program, which
#     resets the tracker;
#   - dunst, on the same bus, gets no notification for Start and Stop while
#     the window is shown; with the window hidden, one for Start with the
#     status line's sentence (or, when nothing can move the pointer, that,
#     critical, once), one for Stop;
#   - the entry's command, started as written (gio launch), gives a running
#     program with its window hidden in the tray and the tracker set up;
#     unchecking "Start when I log in" there removes the entry.
#
#   test_e2e_tray_sni.sh CORVANE SIMULATOR
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/tray-lib.sh"

for tool in sway swaymsg waybar dunst dunstctl dbus-daemon busctl gio desktop-file-validate jq; do
  command -v "$tool" >/dev/null || { echo "test_e2e_tray_sni: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

WORK=$(mktemp -d)
chmod 755 "$WORK"
trap end_tray_test EXIT
app_folder "$1"
mkdir -p "$WORK/runtime" "$WORK/home"
chmod 700 "$WORK/runtime"
user=(setpriv --pdeathsig KILL)
if [[ $(id -u) -eq 0 ]]; then
  user=(setpriv --reuid=65534 --regid=65534 --clear-groups --pdeathsig KILL)
  chown -R 65534:65534 "$WORK"
fi
touch "$WORK/corvane.err"
entry=$WORK/home/config/autostart/example.tollan.Corvane.desktop

# Everything runs in a clean environment: nothing of a desktop session this
# test may run in.
environment=(PATH=/usr/local/bin:/usr/bin:/bin HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime"
  XDG_CONFIG_HOME="$WORK/home/config" LC_ALL=C.UTF-8 NO_AT_BRIDGE=1)
as_user() { "${user[@]}" env -i "${environment[@]}" "$@"; }

session_bus "${user[@]}" env -i "${environment[@]}"
environment+=(DBUS_SESSION_BUS_ADDRESS="$BUS")
cat >"$WORK/sway.conf" <<'EOF'
xwayland disable
output * resolution 1024x768
EOF
(exec "${user[@]}" env -i "${environment[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$WORK/sway.conf") >"$WORK/sway.log" 2>&1 &
PIDS+=($!)
# sway's sockets: its Wayland display and its IPC.
sockets() {
  socket=$(find "$WORK/runtime" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -n 1)
  ipc=$(find "$WORK/runtime" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
  [[ -n $socket && -n $ipc ]]
}
wait_until "sway did not start" sockets
environment+=(WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc")

echo '{ "layer": "top", "position": "top", "height": 26, "modules-right": ["tray"] }' >"$WORK/waybar.json"
(exec "${user[@]}" env -i "${environment[@]}" waybar -c "$WORK/waybar.json") >"$WORK/waybar.log" 2>&1 &
PIDS+=($!)
# dunst's history keeps no urgency, but each urgency's timeout.
printf '[urgency_normal]\ntimeout = 12\n[urgency_critical]\ntimeout = 13\n' >"$WORK/dunstrc"
(exec "${user[@]}" env -i "${environment[@]}" dunst -config "$WORK/dunstrc") >"$WORK/dunst.log" 2>&1 &
PIDS+=($!)
start_simulator "${user[@]}" "$2"

# bus ARGUMENT...: busctl on the private bus, answering in JSON.
bus() { as_user busctl --user --json=short -- "$@"; }
watcher=(org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.kde.StatusNotifierWatcher)
for ((i = 0; i < 100; i++)); do
  bus get-property "${watcher[@]}" IsStatusNotifierHostRegistered 2>/dev/null | jq -e .data >/dev/null && break
  sleep 0.1
done
((i < 100)) || fail "waybar's tray did not register as a host"

# wait_for_item: waits (up to 15 s) until a program's item is registered, and
# sets item (its bus name) and itemPid.
wait_for_item() {
  local registered
  for ((i = 0; i < 150; i++)); do
    registered=$(bus get-property "${watcher[@]}" RegisteredStatusNotifierItems | jq -r '.data[0] // empty')
    [[ -n $registered ]] && break
    sleep 0.1
  done
  [[ -n $registered ]] || fail "no item registered with the watcher"
  item=${registered%%/*}
  itemPid=$(bus call org.freedesktop.DBus / org.freedesktop.DBus GetConnectionUnixProcessID s "$item" | jq .data[0])
}
tooltip() { bus get-property "$item" /StatusNotifierItem org.kde.StatusNotifierItem ToolTip | jq -r '.data[2]'; }
# menu_items: the item's menu as lines of "id<TAB>label<TAB>toggle-state".
menu_items() {
  local path
  path=$(bus get-property "$item" /StatusNotifierItem org.kde.StatusNotifierItem Menu | jq -r .data)
  bus call "$item" "$path" com.canonical.dbusmenu GetLayout iias 0 -1 0 |
    jq -r '.data[1][2][].data | [.[0], .[1].label.data // "", .[1]["toggle-state"].data // ""] | @tsv'
}
# click LABEL: clicks the menu's item of that label, as a tray host does.
click() {
  local id path
  id=$(menu_items | awk -F '\t' -v label="$1" '$2 == label { print $1 }')
  [[ -n $id ]] || fail "the menu has no \"$1\": $(menu_items | cut -f 2 | paste -sd '|')"
  path=$(bus get-property "$item" /StatusNotifierItem org.kde.StatusNotifierItem Menu | jq -r .data)
  bus call "$item" "$path" com.canonical.dbusmenu Event isvu "$id" clicked s "" 0 >/dev/null
}
# wait_for_menu_item LABEL WHAT: waits (up to 15 s) until the menu has it.
wait_for_menu_item() {
  for ((i = 0; i < 150; i++)); do
    menu_items | cut -f 2 | grep -qx "$1" && return 0
    sleep 0.1
  done
  fail "$2: the menu says $(menu_items | cut -f 2 | paste -sd '|')"
}
# windows: how many windows of the program sway has.
windows() { as_user swaymsg -t get_tree | jq --argjson pid "$itemPid" '[.. | objects | select(.pid? == $pid)] | length'; }
has_windows() { [[ $(windows) == "$1" ]]; }
ended() { ! kill -0 "$itemPid" 2>/dev/null; }
# toggle LABEL BYTES: clicks Start or Stop until the wire says BYTES (a click
# counts only 2 s after the last that counted).
toggle() {
  local i
  for ((i = 0; i < 20; i++)); do
    click "$1"
    sleep 0.25
    [[ $(cat "$WORK/app/record.bin") == "$2" ]] && return 0
  done
  fail "the menu's $1 did not write \"$2\": $(wire)"
}
said() { grep '^corvane.status: ' "$WORK/corvane.err" | tail -n 1 | cut -d ' ' -f 2-; }
# notes: what dunst received, oldest first; note SUMMARY URGENCY: one from
# Corvane with the status line's last sentence.
notes() {
  as_user dunstctl close-all && as_user dunstctl history | jq -c '.data[0] | reverse | map([.appname.data,
    .summary.data, .body.data, {"12000000": "normal", "13000000": "critical"}[.timeout.data | tostring]])'
}
notified() { [[ $(notes) != "[]" ]]; }
note() { jq -nc --arg summary "$1" --arg body "$(said)" --arg urgency "$2" '["Corvane", $summary, $body, $urgency]'; }

(cd "$WORK/app" && exec "${user[@]}" env -i "${environment[@]}" QT_LOGGING_RULES=corvane.status.info=true \
  ./corvane) >/dev/null 2>"$WORK/corvane.err" &
PIDS+=($!)
wait_for_item
wait_for_wire "$SET_UP" "the tracker was not set up"
[[ $(tooltip) == "$(said)" ]] || fail "the tooltip is \"$(tooltip)\", not the status line's \"$(said)\""
wait_until "the program shows no window" has_windows 1

click Start
wait_for_wire "${SET_UP}S" "the menu's Start did not start tracking"
wait_for_menu_item Stop "Start did not become Stop"
toggle Stop "${SET_UP}S!"
click "Hide Window"
wait_until "Hide Window left the window in sway's tree" has_windows 0
wait_for_menu_item "Show Window" "Hide Window did not become Show Window"
[[ $(notes) == "[]" ]] || fail "Start and Stop notified while the window was shown: $(notes)"
# Hidden, Start is notified; while nothing can move the pointer that is
# said instead, once, and Stop is told as it comes.
toggle Start "${SET_UP}S!S"
wait_until "Start did not notify with the window hidden" notified
if [[ $(said) == "The pointer cannot be moved"* ]]; then
  expected=$(note "Corvane cannot move the pointer" critical)
else
  expected=$(note "Tracking started" normal)
fi
[[ $(notes) == "[$expected]" ]] || fail "Start notified $(notes), not [$expected]"
toggle Stop "${SET_UP}S!S!"
expected+=,$(note "Tracking stopped" normal)
click "Show Window"
wait_until "Show Window did not bring the window back" has_windows 1
[[ $(notes) == "[$expected]" ]] || fail "after Stop, the notifications are $(notes), not [$expected]"

click "Start when I log in"
for ((i = 0; i < 150; i++)); do [[ -s $entry ]] && break; sleep 0.1; done
[[ -s $entry ]] || fail "\"Start when I log in\" wrote no $entry"
desktop-file-validate "$entry" || fail "the autostart entry is not valid: $(cat "$entry")"
[[ $(menu_items | awk -F '\t' '$2 == "Start when I log in" { print $3 }') == 1 ]] ||
  fail "\"Start when I log in\" is not checked"
click Quit
wait_until "the menu's Quit did not end the program" ended
[[ $(cat "$WORK/app/record.bin") == "${SET_UP}S"*"$RESET" ]] || fail "the tracker was not reset at the end: $(wire)"

# The entry as the desktop starts it at login.
before=$(cat "$WORK/app/record.bin")
(exec "${user[@]}" env -i "${environment[@]}" gio launch "$entry") >"$WORK/gio.log" 2>&1
wait_for_item
PIDS+=("$itemPid")
[[ $(readlink "/proc/$itemPid/exe") == "$WORK/app/corvane" ]] || fail "the item is not the program's"
wait_for_wire "$before$SET_UP" "started from the entry, the program did not set the tracker up"
wait_for_menu_item "Show Window" "started from the entry, the window is not in the tray"
[[ $(windows) == 0 ]] || fail "started from the entry, the program shows its window"
click "Start when I log in"
for ((i = 0; i < 150; i++)); do [[ -e $entry ]] || break; sleep 0.1; done
[[ -e $entry ]] && fail "unchecking \"Start when I log in\" left $entry"
click Quit
wait_until "the menu's Quit did not end the program started from the entry" ended
no_qt_warning
