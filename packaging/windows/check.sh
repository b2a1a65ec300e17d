#!/usr/bin/env bash
# Checks the two Windows artefacts under Wine, in a Wine prefix made afresh, as an operator
# meets them: the portable zip unpacked into a folder of its own runs with nothing but its own
# DLLs and keeps its settings beside vantorel.exe; the installer installs silently for all users
# (files, Start-menu shortcut, Apps entry) and its uninstaller leaves nothing behind.
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

# Plain Wine, without the build's DLL path: the folder must bring every DLL it needs.
runner=$out/check/wine
printf '#!/bin/sh\n[ "$1" = --wait-idle ] && exec %s -w\nexec %s "$@"\n' \
    "$(dirname "$wine")/wineserver" "$wine" > "$runner"
chmod +x "$runner"

unzip -q "$out/Vantorel-$version-win64.zip" -d "$out/check/portable"
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
entry=$("$wine" reg query "$key" /reg:64 2>/dev/null | tr -d '\r')
for value in "DisplayName    REG_SZ    Vantorel" "DisplayVersion    REG_SZ    $version" \
             "Publisher    REG_SZ    Vantorel developers" "DisplayIcon" "EstimatedSize"; do
    grep -q "$value" <<< "$entry" || fail "the Apps entry lacks $value"
done
echo "installer: $(find "$installed" -type f | wc -l) files, shortcut and Apps entry"

"$wine" "$installed/uninstall.exe" /S
# The uninstaller runs from a copy of itself and returns at once; Wine tells when it is done.
"$(dirname "$wine")/wineserver" -w
[ ! -e "$installed" ] || fail "the uninstaller left $(find "$installed" | head -n 3)"
[ ! -e "$shortcut" ] || fail "the uninstaller left the shortcut"
if "$wine" reg query "$key" /reg:64 >/dev/null 2>&1; then fail "the uninstaller left the Apps entry"; fi
echo "uninstaller: nothing left behind"
