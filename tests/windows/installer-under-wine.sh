#!/usr/bin/env bash
# The installer under Wine: a silent install puts the programs (with icon and version
# information), their DLLs and plugins, the licences, the Start-menu entries, the uninstall
# entry and the .plu and .ingred file types in place, and the installed scalectl.exe runs
# without the build's DLL folders; the uninstaller takes all of it away again but leaves a
# file of the operator's in the program folder.
#   installer-under-wine.sh SETUP.EXE
set -uo pipefail
SCALEDESK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$SCALEDESK_ROOT/scripts/windows-env.sh"
setup=$1
version=$(basename "$setup" | sed 's/^ScaleDesk-\(.*\)-setup\.exe$/\1/')
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
# file_types: what .plu and .ingred open with, "-" for nothing.
file_types() {
    local extension type
    for extension in .plu .ingred; do
        type=$("$wine" reg query "HKLM\\Software\\Classes\\$extension" /ve 2>/dev/null |
            tr -d '\r' | awk '/REG_SZ/ { print $NF }')
        printf '%s ' "${type:--}"
    done
}

"$wine" "$setup" /S
expect "silent install ends with 0" "0" "$?"
expect "programs, Qt, MinGW runtime, plugins, uninstaller installed" "yyyyyyy" \
    "$(present "$program"/{scaledesk.exe,scalectl.exe,Qt6Widgets.dll,libstdc++-6.dll} \
        "$program"/platforms/qwindows.dll "$program"/styles/qwindowsvistastyle.dll \
        "$program"/uninstall.exe)"
expect "Start-menu entries" "yy" "$(present "$menu"/{ScaleDesk.lnk,"Uninstall ScaleDesk.lnk"})"
expect "uninstall entry registered" "yes" "$(registered)"
expect "licences and notices installed" "yyyyy" \
    "$(present "$program"/licenses/{ScaleDesk,Qt-source,LGPL-3,xlsxwriter,sqlite}.txt)"
expect "scalectl's manual gives Windows examples" "yes no" \
    "$(grep -q 'scalectl display --port COM3' "$program/scalectl manual.txt" && echo yes || echo no) $(
        grep -q '/dev/' "$program/scalectl manual.txt" && echo yes || echo no)"
expect "file types registered" "ScaleDesk.PluFile ScaleDesk.IngredFile " "$(file_types)"
command=$("$wine" reg query 'HKLM\Software\Classes\ScaleDesk.PluFile\shell\open\command' \
    /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
expect "a .plu file opens in scaledesk.exe" '"C:\Program Files\ScaleDesk\scaledesk.exe" "%1"' \
    "$command"
expect "scaledesk.exe carries its icon and version" "icon $version" \
    "$(wrestool -l --type=14 "$program/scaledesk.exe" | grep -q . && printf icon) $(
        wrestool -x --raw --type=16 "$program/scaledesk.exe" | tr -d '\0' |
            grep -ao 'ProductVersion[0-9.]*' | sed 's/ProductVersion//')"
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
expect "file types removed" "- - " "$(file_types)"
expect "licences removed" "n" "$(present "$program/licenses")"
rm -rf "$program"

[ "$failures" = 0 ] && echo "all passed" && exit 0
echo "$failures failed"
exit 1
