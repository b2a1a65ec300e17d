#!/usr/bin/env bash
# The Windows program under Wine on a display of its own, as an operator runs it: decodes
# from the Linux sender reach it, at 127.0.0.1 and in a multicast group on loopback, Alt+F4
# (WM_CLOSE) saves its settings, and so does the end of the Windows session. With SCREENSHOTS set, the views are saved there as pictures.
# Usage: wine-desktop.sh RUNNER PROGRAM_FOLDER SENDER SAMPLE
#   RUNNER runs a Windows program, or with --wait-idle waits until Wine's session has ended
#   (the build's wine-run.sh); PROGRAM_FOLDER holds vantorel.exe,
#   copied to a folder of its own for the run, with its DLLs when it is a portable folder.
set -euo pipefail
runner=$1 program=$2 sender=$3 sample=$4
work=$(mktemp -d)
app=$work/app
mkdir -p "$app"
# The program, and its DLLs and plugins where the folder is a portable one.
cp "$program/vantorel.exe" "$app/"
for extra in "$program"/*.dll "$program/platforms" "$program/styles"; do
    [ -e "$extra" ] && cp -r "$extra" "$app/"
done
unset QT_QPA_PLATFORM

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
pid=
trap 'set +e; [ -n "$pid" ] && kill $pid 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
port=$("$sender" --free-port)
# Wine keeps the display a session started on: one started by the offscreen tests has none.
# This one starts afresh on the display above (and a prefix made on first use is not timed).
"$runner" --wait-idle
"$runner" cmd /c exit 0 > /dev/null 2>&1

fail() { echo "FAIL: $*" >&2; exit 1; }
# start [GROUP]: the program listening at 127.0.0.1, or in GROUP.
start() {
    printf '[User]\r\nUDP port=%s\r\n' "$port" > "$app/Vantorel.ini"
    [ -z "${1:-}" ] || printf 'Multicast group=%s\r\n' "$1" >> "$app/Vantorel.ini"
    launch
}
launch() {
    "$runner" "$app/vantorel.exe" > "$work/program.log" 2>&1 &
    pid=$!
    window=
    for _ in $(seq 240); do
        window=$(xdotool search --name '^Vantorel' 2>/dev/null | head -n 1) && [ -n "$window" ] && return
        sleep 0.5
    done
    fail "no window appeared"
}
ended() {
    for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.25; done
    return 1
}
saved() { grep -q "^UDP port=$port"$'\r'"\$" "$app/Vantorel.ini" && grep -q '^Top=' "$app/Vantorel.ini"; }

# shows ID: the window's title names the sender ID within ten seconds.
shows() {
    for _ in $(seq 40); do
        [ "$(xdotool getwindowname "$window")" = "Vantorel Listening to $1" ] && return
        sleep 0.25
    done
    return 1
}

# The decoder's own advice for a group "when in doubt": Windows binds none, the wildcard it does.
start 224.0.0.1
"$sender" --port "$port" --group 224.0.0.1 --id group --file "$sample" > /dev/null
shows group || fail "no decode shown from the group 224.0.0.1"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" alt+F4
ended || fail "Alt+F4 did not end the program in the group"

start
"$sender" --port "$port" --file "$sample" > /dev/null
shows WSJT-X || fail "no decode shown"
if [ -n "${SCREENSHOTS:-}" ]; then
    mkdir -p "$SCREENSHOTS"
    sleep 1
    import -window root -crop 520x380+0+0 "$SCREENSHOTS/wine-log.png"
    for view in dt:172 db:267; do
        xdotool mousemove "${view#*:}" 32 click 1
        sleep 1
        import -window root -crop 520x380+0+0 "$SCREENSHOTS/wine-${view%:*}.png"
    done
fi
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" alt+F4
ended || fail "Alt+F4 did not end the program"
saved || fail "Alt+F4 did not save the settings"

# A first start beside a decoder that sends to a group: no settings file of Vantorel's, the
# decoder's own in the local application data folder of the prefix (Wine sets LOCALAPPDATA
# itself). This test runs alone, so no other program of the prefix sees the decoder's file.
local_data=$("$runner" winepath -u "$("$runner" cmd /c echo %LOCALAPPDATA% | tr -d '\r')" | tr -d '\r')
[ -d "$local_data" ] || fail "no local application data folder in the prefix: $local_data"
rm -rf "$local_data/Vantorel" "$local_data/WSJT-X"
mkdir -p "$local_data/WSJT-X"
printf '[Configuration]\r\nUDPServer=224.0.0.1\r\nUDPServerPort=%s\r\nUDPInterface=@Invalid()\r\n' \
    "$port" > "$local_data/WSJT-X/WSJT-X.ini"
rm -f "$app/Vantorel.ini"
launch
rm -rf "$local_data/WSJT-X"
"$sender" --port "$port" --group 224.0.0.1 --id first --file "$sample" > /dev/null
shows first || fail "no decode shown from the decoder's group at the first start"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" alt+F4
ended || fail "Alt+F4 did not end the program at the first start"
grep -q '^Multicast group=224.0.0.1'$'\r''$' "$app/Vantorel.ini" && saved ||
    fail "the first start did not save the decoder's group and port"

start
WINEDEBUG=-all "$runner" wineboot --end-session
ended || fail "the end of the session did not end the program"
saved || fail "the end of the session did not save the settings"
echo "decodes shown (127.0.0.1, group 224.0.0.1, and the decoder's group at a first start), settings saved on Alt+F4 and at the end of the session"
