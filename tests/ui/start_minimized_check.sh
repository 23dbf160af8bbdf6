#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the real program with --minimized on an X desktop (Xvfb): with a notification area
# (trayer) already there it must show no window, only its icon, and a single left click on the
# icon (xdotool) must bring the window; without one the window must start minimised (iconic).
# Saves the screens in DIRECTORY.
#   tests/ui/start_minimized_check.sh BUILD_DIR DIRECTORY
# Needs xvfb-run, trayer, xdotool, xprop and import. Not part of ctest: it waits on a desktop.
set -euo pipefail
source "$(dirname "$0")/../support/tray_desktop.sh"
tray_desktop_arguments start_minimized_check "$@"

fail() {
  echo "start_minimized_check: FAILED: $*" >&2
  exit 1
}

# start_program: the program with --minimized, over fresh settings and runtime folders.
start_program() {
  rm -rf "$home"/*
  mkdir -m 700 "$home/config" "$home/runtime"
  XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime "$build/src/app/vexmira" --minimized &
  program=$!
  sleep 3
}

# end_program: a stop signal saves the settings and ends it with status 0.
end_program() {
  kill -TERM "$program"
  wait "$program" || fail "the program ended with status $?"
}

shown_windows() { xdotool search --onlyvisible --name '^Vexmira' 2>/dev/null || true; }

desktop() {
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
  trayer --edge top --align right --widthtype pixel --width 120 --height 32 --SetDockType false \
    --transparent false --tint 0xcccccc &
  local tray=$!
  sleep 2
  start_program
  import -window root "$out/minimized-in-tray.png"
  [ -z "$(shown_windows)" ] || fail "a window shows while the icon should stand for it"
  eval "$(xdotool getwindowgeometry --shell "$(xdotool search --class trayer | tail -1)")"
  xdotool mousemove $((X + WIDTH - 12)) $((Y + 16)) click 1
  sleep 1
  import -window root "$out/restored-by-click.png"
  [ -n "$(shown_windows)" ] || fail "a left click on the icon did not bring the window back"
  end_program
  kill "$tray"

  start_program
  local window
  window=$(xdotool search --name '^Vexmira' | head -1)
  [ -n "$window" ] || fail "without a notification area there is no window at all"
  xprop -id "$window" WM_HINTS | grep -q 'Initial state is Iconic' || fail "the window did not start minimised"
  end_program
}
if [ -n "${on_desktop:-}" ]; then
  desktop
  exit 0
fi
xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-desktop "$build" "$out"
echo "start_minimized_check: passed; screens in $out"
