#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a test program ("$@") in a private D-Bus session with its own unlocked gnome-keyring, in a
# throw-away home, so that nothing reaches the user's own keyring. Needs dbus-run-session and
# gnome-keyring-daemon and dbus-send (scripts/setup installs them).
set -eu
for tool in dbus-run-session dbus-send gnome-keyring-daemon; do
  command -v "$tool" >/dev/null || { echo "with_private_keyring: $tool is not installed" >&2; exit 1; }
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache"
unset XDG_CURRENT_DESKTOP  # the Secret Service, not a desktop's own wallet
status=0
dbus-run-session -- sh -c '
  printf test | gnome-keyring-daemon --unlock --components=secrets >/dev/null || exit 1
  # The daemon takes its bus name after it has gone to the background: wait up to 10 s for it.
  tries=0
  until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q "boolean true"; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || { echo "with_private_keyring: the keyring did not take its bus name" >&2; exit 1; }
    sleep 0.1
  done
  "$@"' with_private_keyring "$@" || status=$?
exit "$status"
