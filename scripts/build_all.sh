#!/usr/bin/env bash
# Builds both trees: the native one (build: the command line, the tests,
# the benchmark tools) and the 32-bit Windows one (build-win: LogWeave.exe,
# logweave.exe and their tests), after installing what is missing.
#
# usage: scripts/build_all.sh [Release|Debug]
set -euo pipefail
cd "$(dirname "$0")/.."
type=${1:-Release}
jobs=$(nproc)
scripts/setup.sh windows

echo "--- native build (build)"
cmake -S . -B build -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build build -j"$jobs"

echo "--- Windows build (build-win)"
cmake --no-warn-unused-cli -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build build-win -j"$jobs"

echo
echo "command line:        build/logweave"
echo "Windows program:     build-win/src/app/LogWeave.exe"
echo "Windows command line: build-win/logweave.exe"
