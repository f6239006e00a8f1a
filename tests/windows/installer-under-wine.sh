#!/usr/bin/env bash
# The installer under Wine: a silent install puts the programs, their DLLs and plugins, the
# Start-menu entries and the uninstall entry in place, and the installed scalectl.exe runs
# without the build's DLL folders; the uninstaller takes all of it away again but leaves a
# file of the operator's in the program folder.
#   installer-under-wine.sh SETUP.EXE
set -uo pipefail
SCALEDESK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$SCALEDESK_ROOT/scripts/windows-env.sh"
setup=$1
if [ ! -f "$setup" ]; then
    echo "no installer at $setup: make it with scripts/build-windows"
    exit 1
fi
scaledesk_wine_env
wine=$(scaledesk_wine)
program="$WINEPREFIX/drive_c/Program Files/ScaleDesk"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ScaleDesk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ScaleDesk'
rm -rf "$program" "$menu" # what an earlier, failed run may have left

failures=0
expect() {
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  got:      $(printf '%q' "$3")"
        failures=$((failures + 1))
    fi
}
present() { # present PATH...: one letter per path, y or n
    local path
    for path in "$@"; do [ -e "$path" ] && printf y || printf n; done
}
registered() {
    "$wine" reg query "$key" /v DisplayVersion >/dev/null 2>&1 && echo yes || echo no
}

"$wine" "$setup" /S
expect "silent install ends with 0" "0" "$?"
expect "programs, Qt, MinGW runtime, plugins, uninstaller installed" "yyyyyyy" \
    "$(present "$program"/{scaledesk.exe,scalectl.exe,Qt6Widgets.dll,libstdc++-6.dll} \
        "$program"/platforms/qwindows.dll "$program"/styles/qwindowsvistastyle.dll \
        "$program"/uninstall.exe)"
expect "Start-menu entries" "yy" "$(present "$menu"/{ScaleDesk.lnk,"Uninstall ScaleDesk.lnk"})"
expect "uninstall entry registered" "yes" "$(registered)"
out=$(WINEPATH="" "$wine" "C:\\Program Files\\ScaleDesk\\scalectl.exe" display --port sim | tr -d '\r')
expect "installed scalectl.exe runs on its own DLLs" "1250 899 1124" "$out"

echo "the operator's own" >"$program/shop.plu"
# The uninstaller copies itself elsewhere and runs from there; wait for Wine to go idle.
"$wine" "C:\\Program Files\\ScaleDesk\\uninstall.exe" /S
"$(scaledesk_wineserver)" -w
expect "uninstall removes programs, plugins, uninstaller, Start-menu entries" "nnnnnn" \
    "$(present "$program"/{scaledesk.exe,Qt6Core.dll,platforms,styles,uninstall.exe} "$menu")"
expect "uninstall keeps the operator's file" "y" "$(present "$program/shop.plu")"
expect "uninstall entry removed" "no" "$(registered)"
rm -rf "$program"

[ "$failures" = 0 ] && echo "all passed" && exit 0
echo "$failures failed"
exit 1
