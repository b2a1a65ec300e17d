#!/usr/bin/env bash
# Fetches and unpacks one Debian source package into DEST, through a private apt
# configuration (its own source list, state and cache under CACHE), so that the machine's
# own apt set-up is left exactly as it was.
# Usage: fetch-source.sh CACHE PACKAGE VERSION DEST
set -euo pipefail
cache=$1 package=$2 version=$3 dest=$4
apt_dir=$cache/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial"

# The machine's own archives, as source archives.
: > "$apt_dir/sources.list"
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list > "$apt_dir/sources.list"
fi
rm -f "$apt_dir"/sources.list.d/*
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
done

apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
          -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State=$apt_dir/state" -o "Dir::Cache=$apt_dir/cache"
          -o "Debug::NoLocking=1")
apt-get "${apt_opts[@]}" -qq update
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get "${apt_opts[@]}" -qq source "$package=$version")
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
rm -rf "$dest"
mkdir -p "$(dirname "$dest")"
mv "$src" "$dest"
