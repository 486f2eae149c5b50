#!/usr/bin/env bash
# Two clean Windows builds of the same sources, in different folders, must give
# a byte-identical unattended.exe: administrators compare hashes.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/unattended-repro-XXXXXX)
trap 'rm -rf "$work"' EXIT
for build in one second-build; do
  cmake -S "$source_dir" -B "$work/$build" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$work/$build" --target unattended >/dev/null
done
sha256sum "$work"/*/unattended.exe
first=$(sha256sum < "$work/one/unattended.exe")
second=$(sha256sum < "$work/second-build/unattended.exe")
[ "$first" = "$second" ] || { echo "the two builds differ"; exit 1; }
echo "identical: $(stat -c %s "$work/one/unattended.exe") bytes"
