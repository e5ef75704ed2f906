# Helpers for the tray tests (test_e2e_tray_x.sh, test_e2e_tray_sni.sh).
# Source it; needs bash. The script sets WORK (its folder, removed at its
# end), keeps the ids of what it starts in PIDS and the program's standard
# error in $WORK/corvane.err.

PIDS=()
# What the program writes to the tracker: the default profile's set-up, the
# start of tracking and the reset when it ends.
SET_UP='!!!M3,0,A,2,4,1,3'$'\r''!'
RESET='!!R'$'\r'

fail() {
  echo "$(basename "$0" .sh): $*" >&2
  local log
  for log in "$WORK"/*.log "$WORK/corvane.err"; do
    [[ -s $log ]] && { echo "--- $(basename "$log")" >&2; tail -n 40 "$log" >&2; }
  done
  exit 1
}

# The ids in PIDS ended, the folder removed: the scripts' exit trap.
end_tray_test() {
  local pid
  for pid in "${PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}

# app_folder: $WORK/app with a copy of CORVANE (its settings folder), COM 2
# to 4 leading nowhere, so that no serial port of the machine is opened.
app_folder() {
  mkdir -p "$WORK/app"
  cp "$1" "$WORK/app/corvane"
  local n
  for n in 2 3 4; do ln -s "no-device-$n" "$WORK/app/com$n"; done
}

# session_bus COMMAND...: a private D-Bus session bus at $WORK/bus, started
# through COMMAND (which runs its arguments, as some user), that starts no
# services of its own (so nothing outlives the test). Sets BUS.
session_bus() {
  cat >"$WORK/bus.conf" <<EOF
<busconfig>
  <type>session</type>
  <listen>unix:path=$WORK/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  (exec "$@" dbus-daemon --config-file="$WORK/bus.conf" --nofork --nopidfile) >"$WORK/bus.log" 2>&1 &
  PIDS+=($!)
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -S $WORK/bus ]] && break
    sleep 0.1
  done
  [[ -S $WORK/bus ]] || fail "the session bus did not start"
  BUS="unix:path=$WORK/bus"
}

# start_simulator COMMAND...: the tracker simulator as COM 1 of $WORK/app,
# its bytes from the program kept in $WORK/app/record.bin, started through
# COMMAND. It reads commands until its input ends: the script's end.
start_simulator() {
  (exec "$@" --link "$WORK/app/com1" --record "$WORK/app/record.bin" < <(sleep 600)) >"$WORK/sim.log" 2>&1 &
  PIDS+=($!)
  local i
  for ((i = 0; i < 50; i++)); do
    [[ -e $WORK/app/com1 ]] && return 0
    sleep 0.1
  done
  fail "the simulator did not start"
}

# wait_until WHAT COMMAND...: runs COMMAND every 0.1 s until it succeeds (for
# up to 15 s); fails saying that WHAT when it never does.
wait_until() {
  local what=$1 i
  shift
  for ((i = 0; i < 150; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}

# wire: what the program wrote to the tracker so far, printable.
wire() { od -An -c "$WORK/app/record.bin" | tr -s ' \n' ' '; }
# wait_for_wire BYTES [WHAT]: waits (up to 15 s) until the program has
# written exactly BYTES to the tracker; fails saying WHAT did not happen.
wait_for_wire() {
  local i
  for ((i = 0; i < 150; i++)); do
    [[ $(cat "$WORK/app/record.bin" 2>/dev/null) == "$1" ]] && return 0
    sleep 0.1
  done
  fail "${2:-the bytes on the wire are not as expected}: $(wire)"
}

# wait_for_status SENTENCE: waits (up to 15 s) until the program's status
# line says SENTENCE (the start of it) last.
wait_for_status() {
  local i
  for ((i = 0; i < 150; i++)); do
    [[ $(grep '^corvane.status: ' "$WORK/corvane.err" | tail -n 1) == "corvane.status: $1"* ]] && return 0
    sleep 0.1
  done
  fail "the status line does not say \"$1\""
}

# no_qt_warning: fails when Qt warned of anything on standard error.
no_qt_warning() {
  if grep -E '^(qt\.|Q[A-Za-z]+::|Warning:|QDBus|QObject)' "$WORK/corvane.err"; then
    fail "Qt warned"
  fi
}
