#!/usr/bin/env bash
# Builds Vantorel for Windows (MinGW-w64, against Qt and QCustomPlot built from Debian's own
# sources into a cache) and packs it into build/windows:
#   Vantorel-VERSION-win64.zip    one folder Vantorel/ that runs wherever it is unpacked
#   Vantorel-VERSION-setup.exe    an installer for all users (NSIS)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cd "$root"
jobs=${JOBS:-2}
mingw=x86_64-w64-mingw32

prefixes=$("$here/build-deps.sh")
read -r qt qcp <<< "$prefixes"
cmake --preset windows -DVANTOREL_WINDOWS_PREFIX="$qt;$qcp" -DCMAKE_PREFIX_PATH="$qt;$qcp" \
    -DVANTOREL_HOST_SENDER="${VANTOREL_HOST_SENDER:-}" >/dev/null
cmake --build --preset windows -j "$jobs"

version=$(sed -n 's/^project(Vantorel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build=build/windows/build
out=build/windows
stage=$out/stage/Vantorel
rm -rf "$out/stage"
mkdir -p "$stage/platforms" "$stage/styles"
cp "$build/vantorel.exe" "$build/vantorel-send.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# Every DLL the programs and plugins import, found among Qt's, the plot library's and the
# compiler's runtime, and followed to the DLLs those import in turn.
runtime_dirs=("$qt/bin" "$qcp/bin")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    runtime_dirs+=("$(dirname "$($mingw-g++-posix -print-file-name=$dll)")")
done
find_dll() {
    for dir in "${runtime_dirs[@]}"; do
        if [ -f "$dir/$1" ]; then
            echo "$dir/$1"
            return
        fi
    done
}
pending=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    for name in $($mingw-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
        [ -f "$stage/$name" ] && continue
        path=$(find_dll "$name")
        [ -n "$path" ] || continue # a DLL of Windows itself
        cp "$path" "$stage/"
        pending+=("$stage/$name")
    done
done
$mingw-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

# Text files with Windows line ends, so that Notepad of any Windows version shows them.
sed 's/$/\r/' LICENSE > "$stage/LICENSE.txt"
sed 's/$/\r/' tools/sample-all.txt > "$stage/sample-all.txt"
sed 's/$/\r/' "$here/README.txt" > "$stage/README.txt"
# The alert's sound, beside the program that plays it.
cp packaging/alert.wav "$stage/"

zip_name=Vantorel-$version-win64.zip
rm -f "$out/$zip_name"
(cd "$out/stage" && zip -qr -9 "../$zip_name" Vantorel)

# The installer installs exactly the zip's files, and its uninstaller removes exactly those.
lists=$out/nsis
mkdir -p "$lists"
: > "$lists/install.nsh"
: > "$lists/uninstall.nsh"
(cd "$stage" && find . -type d | sort) | while read -r dir; do
    win=${dir#.}
    echo "SetOutPath \"\$INSTDIR${win//\//\\}\"" >> "$lists/install.nsh"
    (cd "$stage/$dir" && find . -maxdepth 1 -type f | sort) | while read -r file; do
        echo "File \"$root/$stage${dir#.}/${file#./}\"" >> "$lists/install.nsh"
        echo "Delete \"\$INSTDIR${win//\//\\}\\${file#./}\"" >> "$lists/uninstall.nsh"
    done
done
makensis -V2 -DVERSION="$version" -DICON="$here/vantorel.ico" -DFILES="$root/$lists" \
    -DSIZE_KB="$(du -sk "$stage" | cut -f1)" \
    -DOUTFILE="$root/$out/Vantorel-$version-setup.exe" "$here/installer.nsi"

echo "Built $out/$zip_name ($(du -k "$out/$zip_name" | cut -f1) KiB, unpacked" \
     "$(du -sk "$stage" | cut -f1) KiB) and $out/Vantorel-$version-setup.exe" \
     "($(du -k "$out/Vantorel-$version-setup.exe" | cut -f1) KiB)"
