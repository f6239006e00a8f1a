#!/usr/bin/env bash
# The hot folder's systemd unit as systemd itself reads it: no warning, no error. Skipped
# (exit code 77) only where systemd-analyze is not installed (package systemd).
#   watch-unit-test.sh UNIT SCALECTL
set -uo pipefail
unit="$1"
scalectl="$2"
if ! command -v systemd-analyze >/dev/null; then
    echo "SKIPPED: systemd-analyze is not installed (Debian package systemd)"
    exit 77
fi
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
# The installed unit finds scalectl on systemd's search path; here it is the one just built.
# The manual page is not installed yet, so its reference is not looked up.
sed "s|^ExecStart=scalectl |ExecStart=$scalectl |" "$unit" >"$dir/scaledesk-watch.service"
grep -q "^ExecStart=$scalectl watch " "$dir/scaledesk-watch.service" || exit 1
output="$(systemd-analyze --man=no verify "$dir/scaledesk-watch.service" 2>&1)"
code=$?
echo "systemd-analyze verify: exit code $code"
echo "$output"
# verify exits with 0 even after "Failed to parse ..., ignoring": any word from it is a fault.
[ "$code" -eq 0 ] && [ -z "$output" ]
