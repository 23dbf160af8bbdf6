#!/usr/bin/env bash
# Pictures of the real main window on an X desktop (Xvfb), for checking by eye: its three tabs
# (the About tab while the credits scroll) and its tray menu in a notification area (trayer),
# opened by a right click on the icon (xdotool). Saves them in DIRECTORY.
#   tests/ui/screenshots.sh BUILD_DIR DIRECTORY
# Needs xvfb-run, trayer and xdotool. Not part of ctest: it waits on a desktop.
set -euo pipefail
if [ "${1:-}" = "--on-desktop" ]; then
  shift
  on_desktop=1
fi
build=$(realpath "$1")
out=$(realpath "$2")
for tool in xvfb-run trayer xdotool; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is not installed" >&2; exit 2; }
done

desktop() {
  XDG_CONFIG_HOME=$(mktemp -d)  # the design defaults, and nothing of the user's
  export XDG_CONFIG_HOME
  "$build/tests/ui/main_window_screenshot" "$out"
  "$build/tests/ui/main_window_tray_screenshot" "$out" >"$out/tray-events.txt" 2>/dev/null &
  local program=$!
  sleep 1  # the program starts with no notification area
  trayer --edge top --align right --widthtype pixel --width 120 --height 32 --SetDockType false \
    --transparent false --tint 0xcccccc &
  local tray=$!
  sleep 2
  eval "$(xdotool getwindowgeometry --shell "$(xdotool search --class trayer | tail -1)")"
  xdotool mousemove $((X + WIDTH - 12)) $((Y + 16))  # the only icon sits at the right end
  sleep 0.3
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
