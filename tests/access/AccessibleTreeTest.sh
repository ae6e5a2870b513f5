#!/usr/bin/env bash
# Starts orvex under Xvfb on a private session bus with accessibility on, and walks its tree over
# AT-SPI as a screen reader would. ORVEX is the program, SCRIPT the walker.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/config" "$work/state"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" ORVEX_STATE_DIR="$work/state" HOME="$work"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0 GTK_MODULES=
unset QT_QPA_PLATFORM
exec env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1920x1080x24" \
  dbus-run-session -- bash -c '
    "$0" & app=$!
    trap "kill $app 2>/dev/null; wait $app 2>/dev/null" EXIT
    # The system Python, which has pyatspi, whatever else is first on PATH.
    py=/usr/bin/python3; [ -x "$py" ] || py=python3
    "$py" "$1" "$app"
  ' "$ORVEX" "$SCRIPT"
