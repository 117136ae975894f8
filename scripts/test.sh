#!/usr/bin/env bash
# Sets up and runs every test: the native tests, the same tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Windows program's
# tests under Wine, and a short fuzzing run. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
parts=()
[ -x scripts/test_windows.sh ] && parts+=(windows)
[ -x fuzz/run_fuzz.sh ] && parts+=(fuzz)
scripts/setup.sh "${parts[@]}" || exit 1

failed=0
step() { echo; echo "=== $* ==="; }

step "native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLOGWEAVE_TESTS=ON >/dev/null &&
  cmake --build build -j"$jobs" >/dev/null &&
  (cd build && ctest --output-on-failure -j"$jobs") || failed=1

step "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLOGWEAVE_SANITIZE=ON >/dev/null &&
  cmake --build build-asan -j"$jobs" >/dev/null &&
  (cd build-asan && ctest --output-on-failure -j"$jobs") || failed=1

if [ -x scripts/test_windows.sh ]; then
  step "Windows program under Wine"
  scripts/test_windows.sh || failed=1
fi

if [ -x fuzz/run_fuzz.sh ]; then
  step "short fuzzing run"
  fuzz/run_fuzz.sh "${FUZZ_SECONDS:-60}" || failed=1
fi

echo
if [ "$failed" -ne 0 ]; then echo "SOME TESTS FAILED"; else echo "ALL TESTS PASSED"; fi
exit "$failed"
