#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/fuzz_*.cpp) into build-fuzz and runs each for
# SECONDS (default 60), starting from the committed seeds (fuzz/corpus/TARGET)
# and the corpus that earlier runs grew in build-fuzz/corpus/TARGET. Prints executions,
# coverage and corpus size per target, and exits non-zero on any finding
# (crash, failed check, sanitizer report, hang, over-large allocation), whose
# input is kept in build-fuzz/findings/TARGET/.
#   fuzz/run_fuzz.sh [SECONDS]
# FUZZ_JOBS sets how many targets run at once (default: the number of
# processors).
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${FUZZ_JOBS:-$(nproc)}
build=build-fuzz

CC=${FUZZ_CC:-clang-14} CXX=${FUZZ_CXX:-clang++-14} \
  cmake -S fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
  cmake --build "$build" -j"$(nproc)" >/dev/null || {
    echo "run_fuzz.sh: building the fuzz targets failed" >&2
    exit 1
  }

# Every fuzz_NAME.cpp is a target.
targets=()
for source in fuzz/fuzz_*.cpp; do
  t=$(basename "$source" .cpp)
  t=${t#fuzz_}
  [ -x "$build/fuzz_$t" ] && targets+=("$t")
done

run_target() {
  local t=$1
  local dict=fuzz/$t.dict
  [ -f "$dict" ] || dict=fuzz/dbf.dict
  local seeds=()
  [ -d "fuzz/corpus/$t" ] && seeds+=("fuzz/corpus/$t")
  local findings="$build/findings/$t"
  rm -rf "$findings" "$build/logs/$t.rc"
  mkdir -p "$build/corpus/$t" "$findings" "$build/logs"
  # -timeout: one input may take at most 10 s (a loop over four billion
  # records would not); -malloc_limit_mb: no single allocation of more than
  # 64 MB (memory is bounded by one record, and the largest record is half a
  # megabyte).
  "$build/fuzz_$t" -max_total_time="$seconds" -dict="$dict" \
    -max_len=16384 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$build/corpus/$t" "${seeds[@]}" >"$build/logs/$t.log" 2>&1
  echo $? >"$build/logs/$t.rc"
}

running=0
for t in "${targets[@]}"; do
  run_target "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

failed=0
printf '%-8s %10s %8s %6s %6s %8s %9s %8s\n' target executions exec/s cov ft corpus rss_mb findings
for t in "${targets[@]}"; do
  log="$build/logs/$t.log"
  rc=$(cat "$build/logs/$t.rc")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  found=$(find "$build/findings/$t" -type f | wc -l)
  printf '%-8s %10s %8s %6s %6s %8s %9s %8s\n' "$t" "${execs:-?}" \
    "${speed:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" "${rss:-?}" "$found"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "--- $t: exit $rc, findings in $build/findings/$t:" >&2
    grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$log" | head -20 >&2
    grep -A3 'check failed' "$log" | head -8 >&2
  fi
done
if [ "$failed" -ne 0 ]; then
  echo "FUZZING FOUND A FAULT"
  exit 1
fi
echo "fuzzing: no findings in ${seconds} s per target"
