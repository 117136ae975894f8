#!/usr/bin/env bash
# Benchmark of `logweave check`: converts the benchmark's log (a million
# contacts, all 16 columns) once to the tagged form and once to the XML form,
# checks each file once, and compares the times; checks the same records
# with their fields in another order on each record, and with a header of a
# thousand USERDEFs and fifteen fields of the file's own in each record
# (bench/make_check_variants.cpp); then measures the peak memory of check on
# ADIF files of about 10 MB, 100 MB and 1 GB (the first records of that
# output, or it repeated) and on a 100 MB flood of "<A", to show that memory
# stays flat. One run each (not medians): the figures are for bench/README.md
# and the report. The check reads a large file in two halves at once: on a
# machine whose second processor is busy, its time is its processor time.
#
# usage: bench/check_bench.sh [RECORDS]     (default 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-1000000}
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target logweave make_bench_log make_check_variants >/dev/null
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (package time)"; exit 1; }
mkdir -p build/bench
log=build/bench/log-$records.dbf
[ -f "$log" ] || build/make_bench_log "$log" "$records"
# Files go to memory (/dev/shm) where there is room, so that the figures are
# the program's and not the disk's.
dir=build/bench
[ -d /dev/shm ] && [ -w /dev/shm ] && dir=/dev/shm
adi=$dir/logweave-check-$$.adi
adx=$dir/logweave-check-$$.adx
shuffled=$dir/logweave-check-shuffled-$$.adi
userdef=$dir/logweave-check-userdef-$$.adi
files=("$adi" "$adx" "$shuffled" "$userdef")
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

# The XML form, and the tagged form in other layouts.
read xs xu xy xm < <(measure build/logweave convert "$log" --auto --format adx -o "$adx")
read ks ku ky km < <(measure build/logweave check "$adx")
awk -v b="$(stat -c %s "$adx")" -v cs="$xs" -v cc="$xu+$xy" -v ks="$ks" -v kc="$ku+$ky" -v km="$km" 'BEGIN {
  split(cc, c, "+"); split(kc, k, "+")
  printf "ADX written by convert: %.1f MB in %.2f s (%.2f s of processor)\n", b / 1e6, cs, c[1] + c[2]
  printf "check of it: %.2f s (%.2f s of processor), peak %d kB; ratio %.2f\n", ks, k[1] + k[2], km, ks / (cs > 0 ? cs : 0.01)
}'
build/make_check_variants shuffled "$adi" "$shuffled"
build/make_check_variants userdef "$adi" "$userdef"
for f in "$shuffled" "$userdef"; do
  read s u y m < <(measure build/logweave check "$f")
  awk -v b="$(stat -c %s "$f")" -v s="$s" -v c="$u+$y" -v m="$m" -v cs="$conv_s" -v f="$(basename "$f")" 'BEGIN {
    split(c, k, "+")
    printf "check of %-32s %7.1f MB: %.2f s (%.2f s of processor), peak %d kB; ratio to the conversion %.2f\n", f, b / 1e6, s, k[1] + k[2], m, s / (cs > 0 ? cs : 0.01)
  }'
done
rm -f "$adx" "$shuffled" "$userdef"

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
