#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of the real main window on an X desktop (Xvfb), for checking by eye: its three tabs
# (the About tab while the credits scroll) and its tray menu in a notification area (trayer),
# opened by a right click on the icon (xdotool). Saves them in DIRECTORY.
#   tests/ui/screenshots.sh BUILD_DIR DIRECTORY
# Needs xvfb-run, trayer and xdotool. Not part of ctest: it waits on a desktop.
set -euo pipefail
source "$(dirname "$0")/../support/tray_desktop.sh"
tray_desktop_arguments screenshots "$@"

desktop() {
  XDG_CONFIG_HOME=$(mktemp -d)  # the design defaults, and nothing of the user's
  export XDG_CONFIG_HOME
  "$build/tests/ui/main_window_screenshot" "$out"
  "$build/tests/ui/main_window_tray_screenshot" "$out" >"$out/tray-events.txt" 2>/dev/null &
  local program=$!
  start_tray_under_mouse
  xdotool click 3; sleep 1
  xdotool key l  # the menu's "C&lose" ends the program
  wait "$program"
  kill "$tray"
  rm -rf "$XDG_CONFIG_HOME"
}
if [ -n "${on_desktop:-}" ]; then
  desktop
  exit 0
fi
xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-desktop "$build" "$out"
if [ "$(cat "$out/tray-events.txt")" = $'in tray\nmenu shown' ]; then
  echo "screenshots: saved in $out"
else
  echo "screenshots: the tray menu did not open; events were:" >&2
  cat "$out/tray-events.txt" >&2
  exit 1
fi
