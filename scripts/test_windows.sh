#!/usr/bin/env bash
# Builds the Windows program and its tests for 32-bit Windows and runs them
# under Wine on a private X display: the core's tests and the window's
# in-process tests through ctest, then the end-to-end scenarios of the real
# LogWeave.exe. Exits non-zero on any failure.
#
# usage: scripts/test_windows.sh [--screenshots]
#   --screenshots   also copy the main window's screenshots into docs/
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source tests/app/wine_session.sh

update_screenshots=0
[ "${1:-}" == "--screenshots" ] && update_screenshots=1

# Core tests that check POSIX-only behaviour (error texts, /dev/full, paths
# longer than Windows' ANSI limit, file names that differ only in letter
# case); they are not run under Wine.
not_on_windows='^(ConvertFileTest\.(ReportsOutputsThatCannotBeCreated|AFailedWriteLeavesNoFileBehind|LongPathsAreKeptWhole)'
not_on_windows+='|MemoConvertTest\.AMemoBeyondTheFileStopsTheRun'
not_on_windows+='|MemoFile\.(FindsTheFileInAnyLetterCase|ErrorsNameTheFileAndTheRecord))$'

echo "--- cross build (build-win)"
cmake --no-warn-unused-cli -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build build-win -j"$(nproc)" >build-win/build.log 2>&1 ||
  { tail -n 30 build-win/build.log; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/logweave-wine.XXXXXX")
cleanup() {
  wine_session_stop
  rm -rf "$work" 2>/dev/null || { sleep 1; rm -rf "$work"; }
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "--- Wine session"
start=$SECONDS
wine_session_start "$work" || exit 1
echo "prefix ready in $((SECONDS - start)) s (display $DISPLAY)"

failed=0
echo "--- ctest under Wine (core and window tests)"
(cd build-win && timeout -k 10 600 ctest -j2 --timeout 120 -E "$not_on_windows" \
  >"$work/ctest.log" 2>&1)
ctest_status=$?
grep -E "tests passed|tests failed" "$work/ctest.log" || echo "ctest did not finish"
if [ "$ctest_status" -ne 0 ]; then
  failed=1
  grep -E "\*\*\*|Failed|Timeout" "$work/ctest.log" | head -n 40
fi

echo "--- end-to-end scenarios under Wine"
mkdir -p build-win/e2e
timeout -k 10 600 tests/app/e2e.sh build-win "$work" build-win/e2e || failed=1
if [ "$update_screenshots" -eq 1 ]; then
  cp build-win/e2e/screenshot-es.png build-win/e2e/screenshot-en.png docs/ &&
    echo "screenshots copied to docs/"
fi

exit "$failed"
