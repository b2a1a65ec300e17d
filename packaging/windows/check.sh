#!/usr/bin/env bash
# Checks the two Windows artefacts under Wine, in a Wine prefix made afresh, as an operator
# meets them: the portable zip unpacked into a folder of its own runs with nothing but its own
# DLLs and keeps its settings beside vantorel.exe; the installer installs silently for all users
# (files, Start-menu shortcut starting in the program's folder, Apps entry), neither it nor
# the uninstaller changes anything while Vantorel runs, and the uninstaller leaves nothing
# behind but what it did not install, which it says it kept.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$root/build/windows
version=$(sed -n 's/^project(Vantorel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
wine=/usr/lib/wine/wine64
export WINEPREFIX=$out/wineprefix-check WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX" "$out/check"
mkdir -p "$out/check"
"$here/wine-prefix.sh" "$wine"
fail() { echo "FAIL: $*" >&2; exit 1; }
# A command that fails without a word of its own still says where.
trap 'echo "FAIL: $BASH_COMMAND (line $LINENO) ended with code $?" >&2' ERR

# Plain Wine, without the build's DLL path: the folder must bring every DLL it needs.
runner=$out/check/wine
printf '#!/bin/sh\n[ "$1" = --wait-idle ] && exec %s -w\nexec %s "$@"\n' \
    "$(dirname "$wine")/wineserver" "$wine" > "$runner"
chmod +x "$runner"

unzip -q "$out/Vantorel-$version-win64.zip" -d "$out/check/portable"
portable=$out/check/portable/Vantorel
for exe in vantorel.exe vantorel-send.exe; do
    grep -q 'level="asInvoker"' "$portable/$exe" || fail "$exe has no asInvoker manifest"
    grep -q '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' "$portable/$exe" ||
        fail "$exe does not declare Windows 10 and 11"
done
for text in README.txt LICENSE.txt sample-all.txt; do
    [ "$(grep -c $'\r$' "$portable/$text")" = "$(wc -l < "$portable/$text")" ] ||
        fail "$text has lines without Windows line ends"
done
"$root/tests/windows/wine-desktop.sh" "$runner" "$out/check/portable/Vantorel" \
    "$root/build/release/vantorel-send" "$root/tools/sample-all.txt"
echo "portable zip: runs from its own folder"

installed="$WINEPREFIX/drive_c/Program Files/Vantorel"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantorel.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantorel'
"$wine" "$out/Vantorel-$version-setup.exe" /S
"$(dirname "$wine")/wineserver" -w
for file in vantorel.exe vantorel-send.exe uninstall.exe Qt6Core.dll platforms/qwindows.dll \
            styles/qwindowsvistastyle.dll README.txt LICENSE.txt sample-all.txt; do
    [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
strings -el "$shortcut" | grep -qx 'C:\\Program Files\\Vantorel' ||
    fail "the shortcut does not start in the program's folder: $(strings -el "$shortcut" | tr '\n' ' ')"
entry=$("$wine" reg query "$key" /reg:64 2>/dev/null | tr -d '\r')
for value in "DisplayName    REG_SZ    Vantorel" "DisplayVersion    REG_SZ    $version" \
             "Publisher    REG_SZ    Vantorel developers" "DisplayIcon" "EstimatedSize"; do
    grep -q "$value" <<< "$entry" || fail "the Apps entry lacks $value"
done
echo "installer: $(find "$installed" -type f | wc -l) files, shortcut and Apps entry"

# While the installed Vantorel runs, neither a new installation nor the uninstaller changes a
# thing (run in place with _?=, the uninstaller returns when it is done).
exec 4> "$out/check/display"
Xvfb -displayfd 4 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
# Whatever happens, nothing of the check's Wine is left running.
trap 'kill $xvfb 2>/dev/null || true; "$(dirname "$wine")/wineserver" -k 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$out/check/display" ] && break; sleep 0.1; done
# On a port of its own: a decoder or logger of this machine keeps 2238.
printf '[User]\r\nUDP port=%s\r\n' "$("$root/build/release/vantorel-send" --free-port)" \
    > "$installed/Vantorel.ini"
DISPLAY=:$(cat "$out/check/display") "$wine" "$installed/vantorel.exe" >/dev/null 2>&1 &
for _ in $(seq 120); do
    DISPLAY=:$(cat "$out/check/display") xdotool search --onlyvisible --name '^Vantorel' >/dev/null 2>&1 && break
    sleep 0.5
done
# The uninstaller as Windows runs it, from a copy outside the folder, but waited for: started
# plainly, it copies itself away and returns before it is done. _?= works only unquoted, and
# Wine quotes an argument with a space: cmd passes the line as it stands.
cp "$installed/uninstall.exe" "$WINEPREFIX/drive_c/uninstall-copy.exe"
uninstall() { "$wine" cmd /c 'C:\uninstall-copy.exe /S _?=C:\Program Files\Vantorel'; }
# Every file with its change time: a file written again, even with the same bytes, shows.
snapshot() { (cd "$installed" && find . -printf '%p %C@\n' | sort); }
before=$(snapshot)
if uninstall; then fail "the uninstaller did not refuse while Vantorel ran"; fi
[ "$(snapshot)" = "$before" ] || fail "the uninstaller changed the folder while Vantorel ran"
if "$wine" "$out/Vantorel-$version-setup.exe" /S; then
    fail "the installer did not refuse while Vantorel ran"
fi
[ "$(snapshot)" = "$before" ] || fail "the installer changed the folder while Vantorel ran"
"$wine" reg query "$key" /reg:64 >/dev/null 2>&1 || fail "the Apps entry went while Vantorel ran"
"$(dirname "$wine")/wineserver" -k || fail "Vantorel and its Wine ended before the check did"
"$(dirname "$wine")/wineserver" -w
kill $xvfb 2>/dev/null || true
echo "installer and uninstaller: nothing changed while Vantorel ran"

# An administrator's settings beside the program are not Vantorel's to remove.
printf '[User]\r\nUDP port=2237\r\n' > "$installed/Vantorel.ini"
uninstall || fail "the uninstaller ended with code $?"
[ "$(cd "$installed" && find . -mindepth 1)" = "./Vantorel.ini" ] ||
    fail "the uninstaller left $(find "$installed" | head -n 3)"
rm -rf "$installed"
[ ! -e "$shortcut" ] || fail "the uninstaller left the shortcut"
if "$wine" reg query "$key" /reg:64 >/dev/null 2>&1; then fail "the uninstaller left the Apps entry"; fi
echo "uninstaller: nothing left behind"
