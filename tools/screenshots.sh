#!/usr/bin/env bash
# Takes screenshots of the three views under a private Xvfb display:
#   tools/screenshots.sh OUTDIR [SCALE]
# SCALE (default 1) is passed as QT_SCALE_FACTOR to check high-DPI layout.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$here/../build/release}
out=${1:-docs}
scale=${2:-1}
suffix=$([ "$scale" = 1 ] && echo "" || echo "-x$scale")
mkdir -p "$out"
work=$(mktemp -d)
display=:97
Xvfb $display -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
app=
# The program saves its settings when ended: it goes first, then the display and the folder.
trap '[ -n "$app" ] && kill $app 2>/dev/null && wait $app; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$display
cp "$build/vantorel" "$work/"
printf '[User]\r\nUDP port=31271\r\nTop=0\r\nLeft=0\r\n' > "$work/Vantorel.ini"
QT_SCALE_FACTOR=$scale "$work/vantorel" &
app=$!
sleep 2
window=$(xdotool search --name '^Vantorel' | head -n 1)
send() { "$build/vantorel-send" --port 31271 --file "$here/sample-all.txt" --id "WSJT-X" >/dev/null; }
px() { awk -v v="$1" -v s="$scale" 'BEGIN { printf "%d", v * s }'; }
# Track K1ABC: a click into the callsign box empties it; the letters are typed in lower case.
xdotool mousemove "$(px 385)" "$(px 253)" click 1
sleep 0.5
xdotool type --delay 30 "k1abc"
send
sleep 1
import -window "$window" "$out/view-log$suffix.png"
# The menu bar items, left to right: UDP port, Decoders, Show DT Graph, Show dB Graph, Show
# received message.
xdotool mousemove "$(px 170)" "$(px 10)" click 1
sleep 1
import -window "$window" "$out/view-dt$suffix.png"
xdotool mousemove "$(px 267)" "$(px 10)" click 1
sleep 1
import -window "$window" "$out/view-db$suffix.png"
echo "screenshots in $out"
