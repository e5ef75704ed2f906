#!/usr/bin/env bash
# Runs a command on an X display: $DISPLAY when it is set, else a private Xvfb
# server started for the command and stopped after it, bare or, with
# CORVANE_WM=openbox, under the openbox window manager. Qt programs that the
# command starts use the X platform plugin. The end-to-end tests run through it.
#
#   [CORVANE_WM=openbox] scripts/with-display.sh COMMAND [ARGUMENT...]
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/xvfb-lib.sh"

child=
trap xvfb_stop EXIT
trap 'if [[ -n $child ]]; then kill "$child" 2>/dev/null; fi; exit 143' TERM INT HUP

if [[ -z ${DISPLAY:-} ]]; then
  xvfb_private_display || exit 1
  if [[ ${CORVANE_WM:-} == openbox ]]; then
    xvfb_window_manager || exit 1
  fi
fi
xvfb_runtime_dir
export QT_QPA_PLATFORM=xcb

# In the background, so that a signal to this script is handled at once.
"$@" &
child=$!
wait "$child"
