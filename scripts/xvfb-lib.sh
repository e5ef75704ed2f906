# Helpers for the scripts that run Corvane on a private Xvfb server.
# Source it; needs bash.

# xvfb_start [SCREEN]: starts Xvfb on a free display (Xvfb picks it and tells
# it through -displayfd) and sets XVFB_PID and XVFB_DISPLAY. With XVFB_DPI set
# (144 for a desktop scaled to 150%), the screen has that resolution and the
# desktop's font setting (the Xft.dpi resource) says so, as desktops do.
xvfb_start() {
  local screen=${1:-1024x768x24}
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$screen" ${XVFB_DPI:+-dpi "$XVFB_DPI"} -noreset -nolisten tcp \
    3>"$numberFile" >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    if [[ -s $numberFile ]]; then
      XVFB_DISPLAY=":$(tr -d '[:space:]' <"$numberFile")"
      rm -f "$numberFile"
      if [[ -n ${XVFB_DPI:-} ]]; then
        DISPLAY=$XVFB_DISPLAY xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$XVFB_DPI"$'\n'
      fi
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numberFile"
  echo "Xvfb did not start" >&2
  return 1
}

# xvfb_window_manager: starts openbox on $DISPLAY, as a user's desktop has a
# window manager that frames, places and focuses the windows, and waits until
# it manages the screen. Sets WM_PID; xvfb_stop stops it.
xvfb_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  WM_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$WM_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "openbox did not start" >&2
  return 1
}

# xvfb_stop: stops the window manager and the server of xvfb_start and removes
# the folder that xvfb_runtime_dir made. Scripts call it on exit.
xvfb_stop() {
  if [[ -n ${WM_PID:-} ]]; then
    kill "$WM_PID" 2>/dev/null || true
    wait "$WM_PID" 2>/dev/null || true
    WM_PID=
  fi
  if [[ -n ${XVFB_PID:-} ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
  if [[ -n ${XVFB_RUNTIME_DIR:-} ]]; then
    rm -rf "$XVFB_RUNTIME_DIR"
    XVFB_RUNTIME_DIR=
  fi
}

# A private runtime folder for the programs started here, so Qt does not
# complain that XDG_RUNTIME_DIR is unset (as it is for root or under CI).
xvfb_runtime_dir() {
  if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    XVFB_RUNTIME_DIR=$(mktemp -d)
    chmod 700 "$XVFB_RUNTIME_DIR"
    export XDG_RUNTIME_DIR=$XVFB_RUNTIME_DIR
  fi
}

# xvfb_private_display [SCREEN]: starts Xvfb (xvfb_start) and makes it the
# display of everything started from here on, with a runtime folder.
xvfb_private_display() {
  xvfb_start "$@" || return 1
  xvfb_runtime_dir
  export DISPLAY=$XVFB_DISPLAY
}

# wait_for_window TITLE [SECONDS]: prints the id of the shown window titled
# exactly TITLE once it is there.
wait_for_window() {
  timeout "${2:-30}" xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# window_geometry ID: sets WINDOW_X, WINDOW_Y, WINDOW_WIDTH, WINDOW_HEIGHT (the
# inside, in root coordinates) and OUTER_X, OUTER_Y, OUTER_WIDTH, OUTER_HEIGHT
# (with the frame that a window manager draws around it).
window_geometry() {
  local info extents left=0 right=0 top=0 bottom=0
  info=$(xwininfo -id "$1")
  WINDOW_X=$(awk '/Absolute upper-left X:/ { print $NF }' <<<"$info")
  WINDOW_Y=$(awk '/Absolute upper-left Y:/ { print $NF }' <<<"$info")
  WINDOW_WIDTH=$(awk '/^ +Width:/ { print $NF }' <<<"$info")
  WINDOW_HEIGHT=$(awk '/^ +Height:/ { print $NF }' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS)
  if [[ $extents == *=* ]]; then
    IFS=', ' read -r left right top bottom <<<"${extents#*= }"
  fi
  OUTER_X=$((WINDOW_X - left)) OUTER_Y=$((WINDOW_Y - top))
  OUTER_WIDTH=$((WINDOW_WIDTH + left + right)) OUTER_HEIGHT=$((WINDOW_HEIGHT + top + bottom))
}

# window_shot ID FILE [WIDTH]: saves the screen area of the window with its
# frame as a PNG; WIDTH makes it wider, for what reaches past the window.
window_shot() {
  window_geometry "$1"
  import -window root png:- |
    convert png:- -crop "${3:-$OUTER_WIDTH}x${OUTER_HEIGHT}+${OUTER_X}+${OUTER_Y}" +repage "$2"
}

# wait_for_exit PID [SECONDS]: waits for a child of this shell to end and
# returns its exit status; kills it and returns 124 when it takes too long.
wait_for_exit() {
  local pid=$1 limit=$((${2:-10} * 10)) i
  for ((i = 0; i < limit; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 124
  fi
  local status=0
  wait "$pid" || status=$?
  return "$status"
}

# The programs the scripts start on the server: the tracker simulator and a
# copy of Corvane. stop_programs ends both; scripts call it on exit.
SIM_PID= CORVANE_PID= CORVANE_WINDOW=

# start_simulator BIN LINK LOG [OPTION...]: starts BIN/corvane-tracker-sim with
# its terminal linked at LINK and its output in LOG, and waits for the link.
start_simulator() {
  local bin=$1 link=$2 log=$3 i
  shift 3
  "$bin/corvane-tracker-sim" --link "$link" "$@" </dev/null >"$log" 2>&1 &
  SIM_PID=$!
  for ((i = 0; i < 50; i++)); do
    [[ -e $link ]] && return 0
    kill -0 "$SIM_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "The tracker simulator did not start; its output:" >&2
  cat "$log" >&2
  return 1
}

# start_corvane FOLDER LOG: starts FOLDER/corvane there, its output in LOG,
# and waits for its main window; sets CORVANE_PID and CORVANE_WINDOW.
start_corvane() {
  (cd "$1" && exec ./corvane) >"$2" 2>&1 &
  CORVANE_PID=$!
  CORVANE_WINDOW=$(wait_for_window "Tollan Corvane" 30 || true)
  if [[ -z $CORVANE_WINDOW ]]; then
    echo "Corvane showed no window within 30 s; its output:" >&2
    cat "$2" >&2
    return 1
  fi
}

# wait_for_setup LOG: waits (up to 10 s) until the simulator whose log is LOG
# has acknowledged a set-up.
wait_for_setup() {
  local i
  for ((i = 0; i < 100; i++)); do
    grep -q 'sent ack' "$1" && return 0
    sleep 0.1
  done
  return 1
}

# point_twips LEFT TOP and click_twips LEFT TOP: move the pointer to a point of
# Corvane's main window given in twips (15 to a pixel at 96 dpi; the window's
# outer width, 4425 twips, gives the scale), and click there.
point_twips() {
  window_geometry "$CORVANE_WINDOW"
  local x y
  x=$(awk -v l="$1" -v w="$OUTER_WIDTH" -v o="$WINDOW_X" 'BEGIN { printf "%d", o + l * w / 4425 + 0.5 }')
  y=$(awk -v t="$2" -v w="$OUTER_WIDTH" -v o="$WINDOW_Y" 'BEGIN { printf "%d", o + t * w / 4425 + 0.5 }')
  xdotool mousemove --sync "$x" "$y"
}
click_twips() {
  point_twips "$1" "$2"
  xdotool click 1
}

# close_corvane BIN LOG: closes Corvane's main window as a window manager does
# (BIN/corvane-x-close) and waits up to 10 s for it to end. Returns non-zero,
# with its output in LOG shown, when it does not end with status 0.
close_corvane() {
  "$1/corvane-x-close" "Tollan Corvane" || return
  local status=0
  wait_for_exit "$CORVANE_PID" 10 || status=$?
  CORVANE_PID=
  if ((status != 0)); then
    echo "Corvane ended with status $status after its window was closed; its output:" >&2
    cat "$2" >&2
    return 1
  fi
}

# click_start LOG: waits for the set-up that the simulator whose log is LOG
# acknowledges (it clicks anyway after 10 s), then clicks Corvane's
# Start_Command: left 120, top 510, 1335 x 315 twips.
click_start() {
  wait_for_setup "$1" || true
  click_twips $((120 + 1335 / 2)) $((510 + 315 / 2))
}

stop_programs() {
  if [[ -n $CORVANE_PID ]]; then kill -9 "$CORVANE_PID" 2>/dev/null || true; fi
  if [[ -n $SIM_PID ]]; then
    kill "$SIM_PID" 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
  fi
  CORVANE_PID= SIM_PID=
}

# end_run [FOLDER]: stops the programs and the server and removes FOLDER; the
# scripts' exit trap.
end_run() {
  stop_programs
  xvfb_stop
  if [[ -n ${1:-} ]]; then rm -rf "$1"; fi
}
