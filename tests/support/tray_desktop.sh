# SPDX-License-Identifier: MIT
# Shared by the scripts that drive a program's tray icon on an X desktop (sourced, not run).
# They call themselves again under xvfb-run with --on-desktop; these helpers parse that, check
# the tools, and put a notification area (trayer) on the screen with the mouse on its icon.

# tray_desktop_arguments NAME "$@": sets build, out and on_desktop.
tray_desktop_arguments() {
  local name=$1
  shift
  if [ "${1:-}" = "--on-desktop" ]; then
    shift
    on_desktop=1
  fi
  build=$(realpath "$1")
  out=$(realpath "$2")
  for tool in xvfb-run trayer xdotool; do
    command -v "$tool" >/dev/null || { echo "$name: $tool is not installed" >&2; exit 2; }
  done
}

# start_tray_under_mouse: starts trayer once the program runs (it starts with no notification
# area), sets tray to its pid, and moves the mouse onto the only icon, at its right end.
start_tray_under_mouse() {
  sleep 1
  trayer --edge top --align right --widthtype pixel --width 120 --height 32 --SetDockType false \
    --transparent false --tint 0xcccccc &
  tray=$!
  sleep 2
  eval "$(xdotool getwindowgeometry --shell "$(xdotool search --class trayer | tail -1)")"
  xdotool mousemove $((X + WIDTH - 12)) $((Y + 16))
  sleep 0.3
}
