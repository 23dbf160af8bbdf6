#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the program's windows on a real X desktop (Xvfb, openbox as the window manager, trayer
# as the notification area): the program's Messages window (Alt+H) has the caption "Messages"
# exactly; the status panel stays above the Messages window when that is activated; and with a
# box open and the program in the tray, the tray menu's Close (right click on the icon, then "l")
# ends it.
#   tests/ui/program_desktop_check.sh BUILD_DIR DIRECTORY
# Needs xvfb-run, openbox, trayer, xdotool and xprop. Not part of ctest: it waits on a desktop.
set -euo pipefail
source "$(dirname "$0")/../support/tray_desktop.sh"
tray_desktop_arguments program_desktop_check "$@"

wait_for_line() {  # wait_for_line PATTERN: up to 10 s for a line of the program's output
  for _ in $(seq 100); do
    grep -q "$1" "$out/program.txt" && return 0
    sleep 0.1
  done
  echo "no \"$1\" from the program" >>"$out/failures.txt"
  return 1
}

# The program itself, with Show Headers on: Alt+H opens the Messages window.
check_caption() {
  printf '[DATA]\nHEADERS=1\n' >"$XDG_CONFIG_HOME/vexmira.ini"
  "$build/src/app/vexmira" 2>/dev/null &
  local program=$! main messages caption
  main=$(timeout 10 xdotool search --sync --name '^Vexmira 1.6$' | head -1)
  xdotool windowactivate --sync "$main"
  xdotool key alt+h
  messages=$(timeout 10 xdotool search --sync --name '^Messages' | head -1)
  caption=$(xprop -id "$messages" _NET_WM_NAME | sed 's/^[^=]*= //')
  [ "$caption" = '"Messages"' ] || echo "Messages window caption: $caption" >>"$out/failures.txt"
  kill -TERM "$program"
  wait "$program" || true
}

desktop() {
  XDG_CONFIG_HOME=$(mktemp -d)
  export XDG_CONFIG_HOME
  : >"$out/failures.txt"
  openbox &
  local wm=$!
  sleep 0.5
  check_caption
  trayer --edge top --align right --widthtype pixel --width 120 --height 32 --SetDockType false \
    --transparent false --tint 0xcccccc &
  local tray=$!
  sleep 1
  "$build/tests/ui/program_desktop_check" >"$out/program.txt" 2>"$out/program-errors.txt" &
  local program=$!

  if wait_for_line '^messages '; then
    read -r _ messages _ status < <(grep '^messages ' "$out/program.txt")
    xdotool windowactivate "$messages" 2>/dev/null || true
    sleep 0.5
    local stacking
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/^[^#]*# //; s/,//g')
    local position=0 messagesAt=-1 statusAt=-1
    for id in $stacking; do
      [ $((id)) -eq "$messages" ] && messagesAt=$position
      [ $((id)) -eq "$status" ] && statusAt=$position
      position=$((position + 1))
    done
    [ "$statusAt" -gt "$messagesAt" ] ||
      echo "status panel at $statusAt, below the Messages window at $messagesAt" >>"$out/failures.txt"
  fi

  if wait_for_line '^box open'; then
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --class trayer | tail -1)")"
    xdotool mousemove $((X + WIDTH - 12)) $((Y + 16))
    sleep 0.3
    xdotool click 3
    sleep 1
    xdotool key l
  fi
  local status=0
  wait "$program" || status=$?
  [ "$status" -eq 0 ] || echo "the program did not end by the tray menu's Close (exit $status)" >>"$out/failures.txt"
  kill "$tray" "$wm" 2>/dev/null || true
  rm -rf "$XDG_CONFIG_HOME"
}
if [ -n "${on_desktop:-}" ]; then
  desktop
  exit 0
fi
mkdir -p "$2"
xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-desktop "$build" "$out"
if [ -s "$out/failures.txt" ]; then
  echo "program_desktop_check: FAILED" >&2
  cat "$out/failures.txt" >&2
  exit 1
fi
echo "program_desktop_check: passed"
