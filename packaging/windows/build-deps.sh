#!/usr/bin/env bash
# Builds Qt and QCustomPlot for Windows from Debian's own source packages with MinGW-w64, into
# a cache outside the clone. Each build is kept in a folder named by its version and a key of
# what it was built from (options, patches, toolchain file), and reused while that holds.
# Prints the two install prefixes, Qt's and QCustomPlot's, on its last line.
# Usage: build-deps.sh [CACHE]   (default ${XDG_CACHE_HOME:-$HOME/.cache}/vantorel)
set -euo pipefail
shopt -s nullglob
# The builds' output goes to the terminal (standard error); standard output carries the result.
exec 3>&1 1>&2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cache=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/vantorel}
jobs=${JOBS:-2}

qt_version=6.4.2+dfsg-10
qcp_version=2.1.0+dfsg1-3.1
toolchain=$root/cmake/mingw-w64.cmake
host_cmake=/usr/lib/x86_64-linux-gnu/cmake

qt_key=$( (echo "$qt_version"; cat "$here/qt-options.txt" "$toolchain" "$here"/patches/qt6-base-*.patch) \
    | sha256sum | cut -c1-12)
qt_prefix=$cache/qt-${qt_version%%+*}-mingw-$qt_key
qcp_key=$( (echo "$qcp_version $qt_key"; cat "$toolchain") | sha256sum | cut -c1-12)
qcp_prefix=$cache/qcustomplot-${qcp_version%%+*}-mingw-$qcp_key
cross=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake")

if [ ! -f "$qt_prefix/.complete" ]; then
    # The host tools (moc, rcc, uic) must be of the very version that is built.
    host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
    if [ "$host_version" != "$qt_version" ]; then
        echo "qt6-base-dev-tools is $host_version; the Windows build needs $qt_version" >&2
        exit 1
    fi
    "$here/fetch-source.sh" "$cache" qt6-base "$qt_version" "$cache/src/qt6-base"
    for p in "$here"/patches/qt6-base-*.patch; do
        patch -d "$cache/src/qt6-base" -p1 --forward --quiet < "$p"
    done
    start=$(date +%s)
    # A build cut short resumes where it stopped; one of other options starts afresh.
    if [ "$(cat "$cache/build/qt/.key" 2>/dev/null)" != "$qt_key" ]; then
        rm -rf "$cache/build/qt"
        mkdir -p "$cache/build/qt"
        echo "$qt_key" > "$cache/build/qt/.key"
    fi
    rm -rf "$qt_prefix"
    mapfile -t options < <(grep -v '^[[:space:]]*\(#\|$\)' "$here/qt-options.txt")
    cmake -G Ninja -S "$cache/src/qt6-base" -B "$cache/build/qt" "${cross[@]}" \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" "${options[@]}"
    cmake --build "$cache/build/qt" -j "$jobs"
    cmake --install "$cache/build/qt"
    rm -rf "$cache/build/qt"
    echo "Qt for Windows built in $(( $(date +%s) - start )) s" | tee "$qt_prefix/.complete"
fi

if [ ! -f "$qcp_prefix/.complete" ]; then
    "$here/fetch-source.sh" "$cache" qcustomplot "$qcp_version" "$cache/src/qcustomplot"
    rm -rf "$qcp_prefix" "$cache/build/qcustomplot"
    cmake -G Ninja -S "$cache/src/qcustomplot" -B "$cache/build/qcustomplot" "${cross[@]}" \
        -DVANTOREL_WINDOWS_PREFIX="$qt_prefix" -DCMAKE_PREFIX_PATH="$qt_prefix" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qcp_prefix" -DUSE_QT_VERSION=6
    cmake --build "$cache/build/qcustomplot" -j "$jobs"
    cmake --install "$cache/build/qcustomplot"
    rm -rf "$cache/build/qcustomplot"
    touch "$qcp_prefix/.complete"
fi

echo "$qt_prefix $qcp_prefix" >&3
