#!/usr/bin/env bash
# scaledesk started where there is no display: one plain message on stderr and exit code 1,
# not Qt's abort (exit code 134).
#   without-display-test.sh SCALEDESK
set -uo pipefail
scaledesk="$1"
message="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$scaledesk" 2>&1 >/dev/null)"
code=$?
echo "exit code $code, stderr:"
echo "$message"
[ "$code" -eq 1 ] || exit 1
grep -q "^scaledesk needs a display" <<<"$message" || exit 1
grep -q "package xvfb" <<<"$message"
