#!/usr/bin/env bash
# scalectl.exe under Wine, end to end: the built-in simulated scale; its help; the display
# read, a 5-row PLU download and a PLU upload over TCP against `scalectl simulate --tcp` on
# Linux; scalectl.exe serving the scale over TCP to the Linux scalectl until Ctrl-C ends it;
# a send over HTTP to scalectl.exe serve; a file dropped into scalectl.exe watch's inbox.
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

# scalectl.exe serve: rows sent over HTTP to the Linux simulator and the built-in scale.
serve linux2 "$linux" simulate --tcp 127.0.0.1:0 --dump "$work/linux2.dump"
linux2_server=${servers[-1]}
printf 'Meat = %s\r\nDeli = sim\r\n' "$port" >"$work/store.scales"
serve http "$wine_run" "$exe" serve --listen 127.0.0.1:0 --scales "Z:${work//\//\\}\\store.scales"
http_server=${servers[-1]}
sent=$(python3 - "${port%$'\r'}" <<'PY'
import json, sys, time, urllib.request
base = sys.argv[1]
rows = [{"PluNo": n, "ItemCode": 3000 + n, "ItemName1": "Http %d" % n, "ItemName2": "",
         "UnitPrice": 10 * n, "ValidDate": 1, "Tare": 0, "GCode": 1, "MessageNo": 0}
        for n in range(31, 36)]
post = urllib.request.Request(base + "plu", json.dumps({"rows": rows}).encode(),
                              {"Content-Type": "application/json"})
job = json.load(urllib.request.urlopen(post, timeout=30))["url"]
for _ in range(600):
    state = json.load(urllib.request.urlopen(base[:-len("/v1/")] + job, timeout=30))
    if state["state"] != "running":
        break
    time.sleep(0.1)
print(state["state"], *[s["rowsSent"] for s in state["scales"]])
PY
)
expect "a send over HTTP by scalectl.exe serve" "done 5 5" "$sent"
stop "$http_server" INT
expect "Ctrl-C ends scalectl.exe serve cleanly" "0" "$code"
stop "$linux2_server" TERM
expect "the Linux simulator holds the rows sent over HTTP" "5" \
    "$(grep -c '^plu 3[1-5] ' "$work/linux2.dump")"

# scalectl.exe watch: a file renamed into the inbox goes to the built-in scale, then to DONE.
mkdir "$work/inbox"
serve watch "$wine_run" "$exe" watch "Z:${work//\//\\}\\inbox" --port sim
watch_server=${servers[-1]}
cp "$work/five.plu" "$work/inbox/five.plu.part" && mv "$work/inbox/five.plu.part" "$work/inbox/five.plu"
for _ in $(seq 600); do
    [ -f "$work/inbox/done/five.plu.result.json" ] && break
    sleep 0.1
done
expect "scalectl.exe watch sends a dropped file and moves it to DONE" "done 5" \
    "$(python3 -c 'import json, sys; r = json.load(open(sys.argv[1]))
print(r["outcome"], r["scales"][0]["rowsSent"])' "$work/inbox/done/five.plu.result.json" 2>&1)"
stop "$watch_server" INT
expect "Ctrl-C ends scalectl.exe watch cleanly" "0" "$code"

[ "$failures" = 0 ] && echo "all passed" && exit 0
echo "$failures failed"
exit 1
