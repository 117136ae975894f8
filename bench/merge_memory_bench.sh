#!/usr/bin/env bash
# Benchmark: the memory --merge holds to find duplicate contacts, in bytes
# per contact; the target is at most 40 (a lifetime of a big station's logs,
# ten million contacts, in well under 1 GB).
#
#  1. duplicate_memory feeds the duplicate finder with CONTACTS contacts
#     like those of the bench log (default 10,000,000) and reports the peak
#     memory it adds;
#  2. logweave merges a generated log of RECORDS records (default 1,000,000)
#     into a file, against the same conversion without --merge: the
#     difference of the two peaks, per record.
#
# usage: bench/merge_memory_bench.sh [CONTACTS] [RECORDS]
set -euo pipefail
cd "$(dirname "$0")/.."
contacts=${1:-10000000}
records=${2:-1000000}
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target logweave make_bench_log duplicate_memory >/dev/null
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (package time)"; exit 1; }
mkdir -p build/bench
log=build/bench/log-$records.dbf
[ -f "$log" ] || build/make_bench_log "$log" "$records"
out_dir=build/bench
[ -d /dev/shm ] && [ -w /dev/shm ] && out_dir=/dev/shm
out=$out_dir/logweave-merge-bench-$$.adi
peak() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -n 1; }

echo "duplicate finder alone:"
build/duplicate_memory "$contacts" | sed 's/^/  /'
plain=$(peak build/logweave convert "$log" --auto -o "$out")
merged=$(peak build/logweave convert "$log" --auto --merge -o "$out")
rm -f "$out"
awk -v n="$records" -v p="$plain" -v m="$merged" 'BEGIN {
  printf "logweave convert --merge, %d records: peak %d kB, %d kB without --merge: %.1f bytes per contact (target at most 40)\n",
         n, m, p, (m - p) * 1024 / n
}'
