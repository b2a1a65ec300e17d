#!/usr/bin/env bash
# Starts Vantorel and feeds it the shipped sample of decodes, one FT8 period (15 s) at a time.
#   tools/demo.sh [--speed N] [--short]
# --speed N makes the periods N times shorter; --short sends everything quickly, closes the
# program and checks that it ended cleanly (used by the test run).
#
# The demo never touches a real station: Vantorel runs from a folder of its own, with its own
# settings file, on a port that nothing else listens on, and the sample is sent only there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$here/../build/release}
speed=1
short=0
while [ $# -gt 0 ]; do
    case "$1" in
        --speed) speed=$2; shift 2 ;;
        --short) short=1; shift ;;
        *) echo "usage: $0 [--speed N] [--short]" >&2; exit 2 ;;
    esac
done
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cp "$build/vantorel" "$work/"
port=$("$build/vantorel-send" --free-port)
printf '[User]\r\nUDP port=%s\r\n' "$port" > "$work/Vantorel.ini"
if [ "$short" = 1 ]; then
    period=0.02
else
    period=$(awk -v s="$speed" 'BEGIN { printf "%.3f", 15 / s }')
fi
"$work/vantorel" &
pid=$!
sleep 1
kill -0 "$pid"
echo "Vantorel (demo copy) listens on 127.0.0.1:$port; sending the sample, a period every $period s"
[ "$short" = 1 ] || echo "Click a callsign in the log (a pale-blue cell) to track its history."
"$build/vantorel-send" --port "$port" --file "$here/sample-all.txt" --period "$period" --id "demo"
if [ "$short" = 1 ]; then
    kill -TERM "$pid"
    wait "$pid"
    pid=
    grep -q "UDP port=$port" "$work/Vantorel.ini"
    echo "demo finished"
else
    echo "The sample is sent; close the window to end the demo."
    wait "$pid"
    pid=
fi
