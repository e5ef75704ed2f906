#!/usr/bin/env bash
# Refreshes the three German translation files from the sources with lupdate,
# each from its own group of sources, so that each group can be translated on
# its own. New texts come in unfinished, to be filled in with Qt Linguist or
# by hand; texts gone from the sources are dropped. The build only compiles
# the files (lrelease) and never changes them.
#   scripts/update-translations.sh
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
run() {
  local ts=$1
  shift
  "$lupdate" -silent -I . -locations none -no-obsolete -target-language de_DE "$@" -ts "translations/$ts"
}

window=(ui/MainForm.h ui/MainForm.cpp ui/MainFormLayout.cpp ui/MainFormTray.cpp ui/SettingPair.* ui/KeyBox.* ui/HelpForm.*)
help=(ui/HelpText.cpp ui/HelpInstallation.cpp ui/HelpSections.h)
shopt -s nullglob
window+=(ui/Accessible*)
# Every other source with text shown in the window, boxes or tray.
rest=(core keyboard profiles engine platform ui/PickList.* ui/StatusStrip.* ui/TrayIcon.* ui/Autostart.*)

run corvane_window_de.ts "${window[@]}"
run corvane_help_de.ts "${help[@]}"
run corvane_de.ts "${rest[@]}"
