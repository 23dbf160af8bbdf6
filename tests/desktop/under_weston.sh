#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command as a Wayland client of a headless compositor (weston) of its own:
#   tests/desktop/under_weston.sh COMMAND [ARGUMENTS...]
# Keys cannot be simulated there (the compositor gives no window the keyboard), so suites run
# here leave out the cases that type.
set -euo pipefail
runtime=$(mktemp -d)
trap 'kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null; rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=wayland-test --idle-time=0 \
  >"$runtime/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do [ -S "$runtime/wayland-test" ] && break; sleep 0.1; done
unset DISPLAY
XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$@"
