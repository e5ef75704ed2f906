#!/usr/bin/env bash
# Runs a fresh copy of the built Corvane (build/bin, or the folder given) on a
# private Xvfb server under openbox at 96 dpi, once with LANG=de_DE.UTF-8 and
# once with LANG=C (LC_ALL, LC_MESSAGES and LANGUAGE unset, as in a desktop
# session), and saves its main window with the settings shown, on the Tracker,
# Mouse, Keyboard and Other tabs, as build/screenshots/language/<LANG>-<tab>.png.
# Fails when a German shot looks the same as its English one.
#   scripts/screenshots-language.sh [BIN]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=${1:-$root/build/bin}
out="$root/build/screenshots/language"
mkdir -p "$out"

source "$root/scripts/xvfb-lib.sh"
folder=
trap 'end_run "$folder"' EXIT
XVFB_DPI=96 xvfb_private_display 1600x1200x24
xvfb_window_manager
unset LC_ALL LC_MESSAGES LANGUAGE

shoot() {
  local lang=$1
  folder=$(mktemp -d)
  start_simulator "$bin" "$folder/com1" "$folder/sim.log" --no-control
  # A copy in an empty folder starts as on a first run, with the default profiles.
  cp "$bin/corvane" "$folder/corvane"
  LANG=$lang start_corvane "$folder" "$folder/corvane-output.log"
  sleep 1
  # "Show Settings": left 1500, top 510, 1335 x 315; the tabs along the tab
  # bar at top 1155.
  click_twips $((1500 + 1335 / 2)) $((510 + 315 / 2))
  sleep 1
  window_shot "$CORVANE_WINDOW" "$out/$lang-tracker.png"
  for tab in mouse:1545 keyboard:2550 other:3540; do
    click_twips "${tab#*:}" 1155
    sleep 1
    window_shot "$CORVANE_WINDOW" "$out/$lang-${tab%:*}.png"
  done
  close_corvane "$bin" "$folder/corvane-output.log"
  stop_programs
  rm -rf "$folder"
  folder=
}

shoot de_DE.UTF-8
shoot C
for tab in tracker mouse keyboard other; do
  if cmp -s <(convert "$out/de_DE.UTF-8-$tab.png" rgb:-) <(convert "$out/C-$tab.png" rgb:-); then
    echo "The $tab tab looks the same in German as in English" >&2
    exit 1
  fi
  echo "saved $out/de_DE.UTF-8-$tab.png and $out/C-$tab.png"
done
