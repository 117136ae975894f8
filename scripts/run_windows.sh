#!/usr/bin/env bash
# Runs the Windows program under Wine: installs what is missing, builds
# LogWeave.exe and starts it in a folder holding a copy of the example log.
#
# usage: scripts/run_windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh windows
cmake --no-warn-unused-cli -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j"$(nproc)" --target LogWeave >/dev/null
mkdir -p build-win/try
cp -n examples/log2005.dbf build-win/try/ 2>/dev/null || true
program=$(pwd)/build-win/src/app/LogWeave.exe
echo "Starting $program (the open-file dialog starts in build-win/try)"
cd build-win/try
# No Mono or Gecko installers; Western European code page for the texts.
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
[ -n "${LC_ALL:-}" ] || export LC_ALL=C.UTF-8
exec wine "$program"
