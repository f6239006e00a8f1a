#!/usr/bin/env bash
# scalectl.exe under Wine, end to end: the built-in simulated scale; its help; the display
# read, a 5-row PLU download and a PLU upload over TCP against `scalectl simulate --tcp` on
# Linux; and scalectl.exe serving the scale over TCP to the Linux scalectl until Ctrl-C ends it.
#   scalectl-under-wine.sh SCALECTL.EXE LINUX_SCALECTL WINE_RUN
set -uo pipefail
exe=$1
linux=$2
wine_run=$3

work=$(mktemp -d)
servers=()
cleanup() {
    local pid
    for pid in "${servers[@]}"; do kill -KILL "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
# expect WHAT EXPECTED ACTUAL
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

# win ARGS...: scalectl.exe's stdout without the CR of Windows line ends; exit code in $code.
win() {
    "$wine_run" "$exe" "$@" >"$work/out" 2>"$work/err"
    code=$?
    out=$(tr -d '\r' <"$work/out")
}

# serve NAME COMMAND...: starts a simulated scale; its port (first stdout line) in $port.
serve() {
    local name=$1
    shift
    mkfifo "$work/$name.fifo"
    "$@" >"$work/$name.fifo" 2>"$work/$name.err" &
    servers+=($!)
    port=""
    read -r -t 60 port <"$work/$name.fifo"
    port=${port%$'\r'}
}

# stop PID SIGNAL: ends a server as the operator would; its exit code in $code.
stop() {
    kill "-$2" "$1"
    wait "$1"
    code=$?
}

printf '%s\r\n' '21,2021,"Win one","",100,1,0,1,0' '22,2022,"Win two","",200,1,0,1,0' \
    '23,2023,"Win three","",300,1,0,1,0' '24,2024,"Win four","",400,1,0,1,0' \
    '25,2025,"Win five","",500,1,0,1,0' >"$work/five.plu"
five_plu="Z:${work//\//\\}\\five.plu"
transferred=$'PLU Count is 5\nplu#1 is transfered\nplu#2 is transfered\nplu#3 is transfered\nplu#4 is transfered\nplu#5 is transfered\n THE END '

win display --port sim
expect "display of the built-in scale" "0 1250 899 1124" "$code $out"

win simulate --pty
expect "simulate --pty refuses on Windows" "1 1" "$code $(grep -c 'Linux only; use --tcp' "$work/err")"
win display --help
expect "help gives Windows examples" "0 1 0" \
    "$code $(grep -c '^  scalectl display --port COM3$' <<<"$out") $(grep -c '/dev/' <<<"$out")"

serve linux "$linux" simulate --tcp 127.0.0.1:0 --display 7,8,9 --dump "$work/linux.dump"
linux_server=${servers[-1]}
expect "Linux simulator serves TCP" "tcp://127.0.0.1" "${port%:*}"
win display --port "$port"
expect "display over TCP" "0 7 8 9" "$code $out"
win download plu "$five_plu" --port "$port"
expect "download of five PLU rows over TCP" "0 $transferred" "$code $out"
win upload plu "Z:${work//\//\\}\\up.plu" --one 23 --port "$port"
expect "upload of PLU 23 over TCP" "0 plu#23 is received" "$code $out"
expect "uploaded PLU 23 in the file" "1" "$(grep -c '^23,2023,.*Win three.*,300,' "$work/up.plu")"
stop "$linux_server" TERM
expect "Linux simulator ends on SIGTERM" "0" "$code"
expect "Linux simulator holds the five downloaded rows" "5" \
    "$(grep -c '^plu 2[1-5] ' "$work/linux.dump")"

serve windows "$wine_run" "$exe" simulate --tcp 127.0.0.1:0 --dump "Z:${work//\//\\}\\win.dump"
windows_server=${servers[-1]}
out=$("$linux" display --port "$port")
expect "scalectl.exe serves TCP to the Linux scalectl" "0 1250 899 1124" "$? $out"
out=$("$linux" download plu "$work/five.plu" --port "$port")
expect "Linux download to scalectl.exe" "0 $transferred" "$? $out"
stop "$windows_server" INT
expect "Ctrl-C ends scalectl.exe simulate cleanly" "0" "$code"
expect "scalectl.exe simulate wrote its dump on Ctrl-C" "10" \
    "$(grep -c '^plu [0-9]* ' "$work/win.dump" 2>/dev/null)"

[ "$failures" = 0 ] && echo "all passed" && exit 0
echo "$failures failed"
exit 1
