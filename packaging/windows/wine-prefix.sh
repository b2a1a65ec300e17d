#!/usr/bin/env bash
# Makes the Wine prefix named by WINEPREFIX once, under a lock, so that programs started side
# by side do not make it twice. Wine has no Arial: Liberation Sans, of the same metrics,
# stands in for it, so that the window looks as it does on Windows.
# Usage: wine-prefix.sh WINE64
set -euo pipefail
wine=$1
[ -f "$WINEPREFIX/.vantorel-ready" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9> "$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.vantorel-ready" ] && exit 0
DISPLAY= "$wine" wineboot --init >/dev/null 2>&1
DISPLAY= "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
    /d 'Liberation Sans' /f >/dev/null 2>&1
"$(dirname "$wine")/wineserver" -w 2>/dev/null || true
# The offscreen platform reads fonts from one folder, without the registry's replacements:
# there Liberation Sans is the only face, so it stands in for Arial too.
mkdir -p "$WINEPREFIX/qt-fonts"
cp /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf "$WINEPREFIX/qt-fonts/"
touch "$WINEPREFIX/.vantorel-ready"
