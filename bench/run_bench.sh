#!/usr/bin/env bash
# Benchmark: converts a large generated log with `logweave convert` and
# compares it with simply reading the same file once (a C program built with
# -O2 that freads it in 1 MiB blocks and sums the bytes), each conversion
# paired with a read in the same round. Reports MB/s, records/s and peak
# memory, and the peak memory of a ten times smaller log, to show that memory
# does not grow with the number of records, and of that log with --merge,
# which holds every contact's key. It also times the conversion of an old
# log's way, `--guess --fix`, in the same rounds, against its target of at
# most 1.5 times the plain conversion.
#
# usage: bench/run_bench.sh [RECORDS] [RUNS]     (default 1000000 records, 7 runs)
set -euo pipefail
export LC_ALL=C  # a decimal point in the times
cd "$(dirname "$0")/.."
records=${1:-1000000}
runs=${2:-7}
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target logweave make_bench_log read_baseline >/dev/null
mkdir -p build/bench
log=build/bench/log-$records.dbf
small=build/bench/log-$((records / 10)).dbf
[ -f "$log" ] || build/make_bench_log "$log" "$records"
[ -f "$small" ] || build/make_bench_log "$small" $((records / 10))
messy=build/bench/messy-$records.dbf
[ -f "$messy" ] || build/make_bench_log --messy "$messy" "$records"
# The output goes to memory (/dev/shm) where there is one, so that the figure
# is the converter's and not the disk's.
out_dir=build/bench
[ -d /dev/shm ] && [ -w /dev/shm ] && out_dir=/dev/shm
out=$out_dir/logweave-bench-$$.adi
convert=(build/logweave convert "$log" --auto -o "$out")
guess_fix=(build/logweave convert "$log" --guess --fix -o "$out")
messy_plain=(build/logweave convert "$messy" -o "$out" --map
  INDICATIVO=CALL,FECHA=QSO_DATE,HORA=TIME_ON,FREC=FREQ,BANDA=BAND,MODO=MODE,RST_E=RST_SENT,RST_R=RST_RCVD,QSL_E=QSL_SENT,QSL_R=QSL_RCVD,NOMBRE=NAME,POT=TX_PWR)
messy_fix=(build/logweave convert "$messy" --guess --fix -o "$out")
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (package time)"; exit 1; }

# The conversion maps all 16 columns, so its output is larger than its input.
# One timed run: prints "seconds peak-kB", the seconds to the millisecond
# (time's own are to the hundredth).
measure() {
  local start=$EPOCHREALTIME peak
  peak=$(/usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -n 1)
  awk -v s="$start" -v e="$EPOCHREALTIME" -v p="$peak" \
    'BEGIN { printf "%.3f %s\n", e - s, p }'
}
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

cat "$log" "$messy" >/dev/null  # the files in the page cache
read_times=() convert_times=() convert_peaks=() getc_times=() fix_times=()
fix_peaks=() messy_plain_times=() messy_fix_times=() messy_fix_peaks=()
for ((i = 0; i < runs; i++)); do
  read r _ < <(measure build/read_baseline "$log")
  rm -f "$out"  # a new file each time: the time is the conversion's alone
  read c m < <(measure "${convert[@]}")
  read g _ < <(measure build/read_baseline --getc "$log")
  rm -f "$out"
  read f fm < <(measure "${guess_fix[@]}")
  rm -f "$out"
  read mp _ < <(measure "${messy_plain[@]}")
  rm -f "$out"
  read mf mfm < <(measure "${messy_fix[@]}")
  read_times+=("$r"); convert_times+=("$c"); convert_peaks+=("$m"); getc_times+=("$g")
  fix_times+=("$f"); fix_peaks+=("$fm"); messy_plain_times+=("$mp")
  messy_fix_times+=("$mf"); messy_fix_peaks+=("$mfm")
done
read_s=$(printf '%s\n' "${read_times[@]}" | median)
getc_s=$(printf '%s\n' "${getc_times[@]}" | median)
conv_s=$(printf '%s\n' "${convert_times[@]}" | median)
peak=$(printf '%s\n' "${convert_peaks[@]}" | median)
fix_s=$(printf '%s\n' "${fix_times[@]}" | median)
fix_peak=$(printf '%s\n' "${fix_peaks[@]}" | median)
messy_fix_peak=$(printf '%s\n' "${messy_fix_peaks[@]}" | median)
messy_plain_s=$(printf '%s\n' "${messy_plain_times[@]}" | median)
messy_fix_s=$(printf '%s\n' "${messy_fix_times[@]}" | median)
out_bytes=$(stat -c %s "$out")
read _ small_peak < <(measure build/logweave convert "$small" --auto -o "$out")
# --merge holds the key of every contact to find duplicates.
read _ merge_peak < <(measure build/logweave convert "$small" --auto --merge -o "$out")
bytes=$(stat -c %s "$log")
awk -v b="$bytes" -v n="$records" -v r="$read_s" -v c="$conv_s" -v p="$peak" \
    -v sp="$small_peak" -v mg="$merge_peak" -v g="$getc_s" -v o="$out_bytes" -v od="$out_dir" \
    -v f="$fix_s" -v fm="$fix_peak" -v mp="$messy_plain_s" -v mf="$messy_fix_s" \
    -v mfm="$messy_fix_peak" -v ld="$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null)" 'BEGIN {
  printf "input: %d records, %.1f MB; output %.1f MB, written to %s\n", n, b / 1e6, o / 1e6, od
  printf "plain fread of the file: %.3f s (%.0f MB/s)\n", r, b / 1e6 / (r > 0 ? r : 0.001)
  printf "logweave convert:        %.3f s (%.0f MB/s, %.0f records/s)\n", c, b / 1e6 / c, n / c
  printf "getc, one byte at a time: %.3f s (%.1f times the plain read)\n", g, g / (r > 0 ? r : 0.001)
  printf "ratio convert / read:    %.2f (target at most 2.8)\n", c / (r > 0 ? r : 0.001)
  printf "ratio convert / getc:    %.2f\n", c / g
  printf "peak memory: %d kB for %d records, %d kB for %d records\n", p, n, sp, n / 10
  printf "peak memory with --merge: %d kB for %d records, %d kB more, %.1f bytes per contact (target at most 40; bench/merge_memory_bench.sh)\n", mg, n / 10, mg - sp, (mg - sp) * 1024 / (n / 10)
  printf "convert --guess --fix:   %.3f s (%.2f times the plain conversion; target at most 1.5), peak memory %d kB\n", f, f / c, fm
  printf "messy log, plain:        %.3f s\n", mp
  printf "messy log, --guess --fix: %.3f s (%.2f times its plain conversion; target at most 1.5), peak memory %d kB\n", mf, mf / (mp > 0 ? mp : 0.001), mfm
  printf "load average while measured: %s\n", ld
}'
rm -f "$out"
