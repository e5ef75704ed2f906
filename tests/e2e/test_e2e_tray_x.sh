#!/usr/bin/env bash
# The tray icon in the X tray: the real program on a private Xvfb server
# under openbox, with trayer as the desktop's tray and a private session bus
# (with no StatusNotifierItem watcher on it). Checks:
#   - with no tray on the screen, --minimized starts the window minimised
#     (iconic), the tracker is set up, and Qt warns of nothing;
#   - with trayer there, the icon's window is embedded in trayer's panel,
#     small and square; its look changes when tracking starts, and comes
#     back when it stops;
#   - the icon's menu, opened with a right click: Start puts "S" on the wire
#     (Stop stops), Hide Window unmaps the main window, and a left click on
#     the icon maps it again;
#   - the window minimised goes to the tray (unmapped, not iconic), and comes
#     back from there with the menu's Show Window.
#
#   test_e2e_tray_x.sh CORVANE SIMULATOR
set -uo pipefail

here=$(dirname "${BASH_SOURCE[0]}")
source "$here/../../scripts/xvfb-lib.sh"
source "$here/tray-lib.sh"

for tool in Xvfb openbox trayer dbus-daemon xdotool xwininfo xprop import convert; do
  command -v "$tool" >/dev/null || { echo "test_e2e_tray_x: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

WORK=$(mktemp -d)
trap 'end_tray_test; xvfb_stop' EXIT
app_folder "$1"
# Nothing of the session this test may run in: its display, its bus.
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS XDG_CONFIG_HOME
export HOME=$WORK LC_ALL=C.UTF-8
xvfb_private_display || exit 1
xvfb_window_manager || exit 1
session_bus setpriv --pdeathsig KILL
start_simulator setpriv --pdeathsig KILL "$2"

# start_corvane [OPTION...]: the program with its status line on standard
# error; sets corvane and main (its window).
start_corvane() {
  (cd "$WORK/app" && exec setpriv --pdeathsig KILL env DBUS_SESSION_BUS_ADDRESS="$BUS" QT_QPA_PLATFORM=xcb \
    QT_LOGGING_RULES=corvane.status.info=true ./corvane "$@") >/dev/null 2>"$WORK/corvane.err" &
  corvane=$!
  PIDS+=("$corvane")
  main=
  local i
  for ((i = 0; i < 150 && ${#main} == 0; i++)); do
    main=$(xdotool search --all --pid "$corvane" --name '^Tollan Corvane$' 2>/dev/null | head -n 1)
    sleep 0.1
  done
  [[ -n $main ]] || fail "the program made no main window"
}
# map_state: the main window's, as xwininfo says it (IsViewable, IsUnMapped).
map_state() { xwininfo -id "$main" | awk '/Map State:/ { print $3 }'; }
is_mapped() { [[ $(map_state) == "$1" ]]; }
# end_corvane: asks the program to end and waits for it.
end_corvane() {
  kill -TERM "$corvane"
  wait_for_exit "$corvane" 15 || fail "the program ended with status $? when asked to"
}

# No tray: minimised instead, on the window manager's terms.
start_corvane --minimized
wait_for_wire "$SET_UP" "the tracker was not set up"
wait_for_status "Tracker on COM 1 ("
[[ $(map_state) == IsUnMapped ]] || fail "with --minimized the main window is $(map_state)"
xprop -id "$main" WM_STATE | grep -q 'window state: Iconic' ||
  fail "with --minimized and no tray the window is not minimised: $(xprop -id "$main" WM_STATE)"
no_qt_warning
end_corvane
wait_for_wire "$SET_UP$RESET" "the tracker was not reset at the end"

trayer --edge top --align right --widthtype request --height 24 --SetDockType true >"$WORK/trayer.log" 2>&1 &
PIDS+=($!)
panel=
for ((i = 0; i < 100 && ${#panel} == 0; i++)); do
  panel=$(xdotool search --classname '^panel$' 2>/dev/null | head -n 1)
  sleep 0.1
done
[[ -n $panel ]] || fail "trayer showed no panel"

start_corvane
# The icon's window: the program's, inside trayer's panel.
icon=
for ((i = 0; i < 150 && ${#icon} == 0; i++)); do
  icon=$(xwininfo -id "$panel" -tree | awk '/\("corvane" "Corvane"\)/ { print $1; exit }')
  sleep 0.1
done
[[ -n $icon ]] || fail "no icon of the program in trayer's panel: $(xwininfo -id "$panel" -tree)"
window_geometry "$icon"
((WINDOW_WIDTH == WINDOW_HEIGHT && WINDOW_WIDTH >= 16 && WINDOW_WIDTH <= 32)) ||
  fail "the icon is ${WINDOW_WIDTH}x$WINDOW_HEIGHT, not small and square"
iconX=$((WINDOW_X + WINDOW_WIDTH / 2)) iconY=$((WINDOW_Y + WINDOW_HEIGHT / 2))
look() { import -window root png:- | convert png:- -crop "${WINDOW_WIDTH}x$WINDOW_HEIGHT+$WINDOW_X+$WINDOW_Y" -format '%#' info:; }
# wait_for_look CONDITION WHAT: waits (up to 15 s) until the icon's look
# (its hash in $now) meets the bash CONDITION.
wait_for_look() {
  local i
  for ((i = 0; i < 150; i++)); do
    now=$(look)
    eval "$1" && return 0
    sleep 0.1
  done
  fail "$2"
}

# point_at_icon: puts the pointer on the icon, coming from elsewhere.
point_at_icon() {
  xdotool mousemove --sync 0 400 mousemove --sync "$iconX" "$iconY"
}
# menus [STATE]: the program's pop-up menus (windows of their own on the root
# window: the main window is in the window manager's frame, the icon in
# trayer's panel), or only those whose map state is STATE (IsViewable).
menus() {
  local id
  for id in $(xwininfo -root -children | awk '/\("corvane" "Corvane"\)/ { print $1 }'); do
    xwininfo -id "$id" 2>/dev/null | grep -q "Map State: ${1:-}" && echo "$id"
  done
}
# menu_item N: opens the icon's menu with a right click and chooses its Nth
# item (separators do not count) from the keyboard. Qt takes the first click
# after a menu closed from the keyboard for itself at times: so up to three.
menu_item() {
  local i
  for ((i = 0; i < 150; i++)); do
    if ((i % 50 == 0)); then
      point_at_icon
      xdotool click 3
    fi
    [[ -n $(menus IsViewable) ]] && break
    sleep 0.1
  done
  [[ -n $(menus IsViewable) ]] || fail "three right clicks on the icon opened no menu"
  # The menu opens under the pointer, whose item it may take as chosen:
  # the pointer leaves it, so that Down starts from the top.
  xdotool mousemove --sync 0 400
  for ((i = 0; i < $1; i++)); do xdotool key Down; done
  xdotool key Return
  for ((i = 0; i < 150; i++)); do
    [[ -z $(menus IsViewable) ]] && return 0
    sleep 0.1
  done
  fail "the menu stayed open"
}

wait_for_wire "$SET_UP$RESET$SET_UP" "the tracker was not set up again"
wait_for_status "Tracker on COM 1 ("
# Stopped: the same look twice in a row, once it has had time to show it.
stopped=$(look)
wait_for_look '[[ $now == "$stopped" ]] || { stopped=$now; false; }' "the icon's look does not settle"
menu_item 1
wait_for_wire "$SET_UP$RESET${SET_UP}S" "the menu's Start did not start tracking"
wait_for_status "Tracking: "
wait_for_look '[[ $now != "$stopped" ]]' "the icon looks the same while tracking as while stopped"
menu_item 1
wait_for_status "Tracker on COM 1 ("
wait_for_look '[[ $now == "$stopped" ]]' "the icon does not look stopped again after the menu's Stop"

[[ $(map_state) == IsViewable ]] || fail "the main window is not shown at start: $(map_state)"
menu_item 2
wait_until "the menu's Hide Window did not hide it" is_mapped IsUnMapped
point_at_icon
xdotool click 1
wait_until "a click on the icon did not show the window again" is_mapped IsViewable

xdotool windowminimize "$main"
# Withdrawn: the window manager drops its WM_STATE, or says so in it.
for ((i = 0; i < 150; i++)); do
  xprop -id "$main" WM_STATE | grep -qE 'window state: (Normal|Iconic)' || break
  sleep 0.1
done
[[ $(map_state) == IsUnMapped ]] && ((i < 150)) ||
  fail "minimised, the window did not go to the tray: $(map_state), $(xprop -id "$main" WM_STATE)"
menu_item 2
wait_until "the menu's Show Window did not show the window again" is_mapped IsViewable
no_qt_warning
end_corvane
