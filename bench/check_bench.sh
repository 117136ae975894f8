#!/usr/bin/env bash
# Benchmark of `logweave check`: converts the benchmark's log (a million
# contacts, all 16 columns) once, checks the ADIF it wrote once, and compares
# the two times; then measures the peak memory of check on ADIF files of
# about 10 MB, 100 MB and 1 GB (the first records of that output, or it
# repeated) and on a 100 MB flood of "<A", to show that memory stays flat.
# One run each (not medians): the figures are for bench/README.md and the report.
#
# usage: bench/check_bench.sh [RECORDS]     (default 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-1000000}
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target logweave make_bench_log >/dev/null
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (package time)"; exit 1; }
mkdir -p build/bench
log=build/bench/log-$records.dbf
[ -f "$log" ] || build/make_bench_log "$log" "$records"
# Files go to memory (/dev/shm) where there is room, so that the figures are
# the program's and not the disk's.
dir=build/bench
[ -d /dev/shm ] && [ -w /dev/shm ] && dir=/dev/shm
adi=$dir/logweave-check-$$.adi
files=("$adi")
trap 'rm -f "${files[@]}"' EXIT

# "seconds user+sys peak-kB" of one run; the exit code of check is 1 (the
# plain conversion pads its numbers), which is no failure here.
measure() { /usr/bin/time -f "%e %U %S %M" "$@" 2>&1 >/dev/null | tail -n 1; }

cat "$log" >/dev/null
read conv_s conv_u conv_y conv_m < <(measure build/logweave convert "$log" --auto -o "$adi")
read check_s check_u check_y check_m < <(measure build/logweave check "$adi")
bytes=$(stat -c %s "$adi")
awk -v b="$bytes" -v n="$records" -v cs="$conv_s" -v cc="$conv_u+$conv_y" \
    -v ks="$check_s" -v ku="$check_u" -v ky="$check_y" -v km="$check_m" 'BEGIN {
  split(cc, c, "+")
  printf "ADIF written by convert: %d records, %.1f MB\n", n, b / 1e6
  printf "convert: %.2f s (%.2f s of processor)\n", cs, c[1] + c[2]
  printf "check:   %.2f s (%.2f s of processor), %.0f MB/s, peak %d kB\n", ks, ku + ky, b / 1e6 / (ks > 0 ? ks : 0.01), km
  printf "ratio check / convert: %.2f (target at most 1)\n", ks / (cs > 0 ? cs : 0.01)
}'

# Peak memory from 10 MB to 1 GB, and on a flood of one finding.
cut_at() {  # the first $2 bytes of $1, cut after the last whole record
  local end
  end=$(head -c "$2" "$1" | grep -a -b -o '<EOR>' | tail -n 1 | cut -d: -f1)
  head -c $((end + 7)) "$1"
}
small=$dir/logweave-check-10-$$.adi; mid=$dir/logweave-check-100-$$.adi
big=$dir/logweave-check-1000-$$.adi; flood=$dir/logweave-check-flood-$$.adi
files+=("$small" "$mid" "$big" "$flood")
cut_at "$adi" 10000000 >"$small"
cut_at "$adi" 100000000 >"$mid"
for _ in 1 2 3 4; do cat "$adi"; done >"$big"
yes '<A' | tr -d '\n' | head -c 100000000 >"$flood" || true
for f in "$small" "$mid" "$big" "$flood"; do
  read s u y m < <(measure build/logweave check "$f")
  awk -v b="$(stat -c %s "$f")" -v s="$s" -v m="$m" -v f="$(basename "$f")" \
    'BEGIN { printf "check of %-28s %7.1f MB: %6.2f s, peak %d kB\n", f, b / 1e6, s, m }'
done
