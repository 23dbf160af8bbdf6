#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the tray icon on a real X desktop: a notification area (trayer) that appears after the
# program, then a click, a double click, a middle click and a right click on the icon (xdotool),
# and compares the events the program prints with what these clicks must raise. Leaves the
# screen with the open menu in DIRECTORY.
#   tests/ui_components/tray_desktop_check.sh BUILD_DIR DIRECTORY
# Needs xvfb-run, trayer and xdotool. Not part of ctest: it waits on a desktop.
set -euo pipefail
source "$(dirname "$0")/../support/tray_desktop.sh"
tray_desktop_arguments tray_desktop_check "$@"

desktop() {
  "$build/tests/ui_components/tray_desktop_check" "$out" >"$out/tray-events.txt" 2>/dev/null &
  local program=$!
  start_tray_under_mouse
  xdotool click 1; sleep 0.6
  xdotool click --repeat 2 --delay 80 1; sleep 0.6
  xdotool click 2; sleep 0.6
  xdotool click 3; sleep 1
  xdotool key l  # the menu's "C&lose" ends the program
  wait "$program"
  kill "$tray"
}
if [ -n "${on_desktop:-}" ]; then
  desktop
  exit 0
fi
xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-desktop "$build" "$out"

expected='in tray
down 0 8
click 0 8
up 0 8
down 0 8
click 0 8
up 0 8
restore
down 0 64
down 2 32
up 2 32
down 1 16
up 1 16
menu shown'
if [ "$(cat "$out/tray-events.txt")" = "$expected" ]; then
  echo "tray_desktop_check: passed"
else
  echo "tray_desktop_check: FAILED; events were:" >&2
  cat "$out/tray-events.txt" >&2
  exit 1
fi
