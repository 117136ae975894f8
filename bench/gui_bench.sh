#!/usr/bin/env bash
# Benchmark (not a test): converts the 100,000-record benchmark log through
# the real LogWeave.exe under Wine and compares the time from pressing
# Convert to the completion message with logweave.exe converting the same
# file with the same mapping under the same Wine. Aim: at most twice the
# command line's time.
#
# usage: bench/gui_bench.sh [RECORDS] [RUNS]     (default 100000 records, 5 runs)
set -uo pipefail
cd "$(dirname "$0")/.."
records=${1:-100000}
runs=${2:-5}
source tests/app/wine_session.sh

cmake --no-warn-unused-cli -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build build-win -j"$(nproc)" --target LogWeave logweave lw_driver \
  make_bench_log >/dev/null || exit 1
build=$(pwd)/build-win

work=$(mktemp -d "${TMPDIR:-/tmp}/logweave-guibench.XXXXXX")
trap 'wine_session_stop; rm -rf "$work" 2>/dev/null || { sleep 1; rm -rf "$work"; }' EXIT
trap 'exit 130' INT TERM
wine_session_start "$work" || exit 1

D() { wt 700 wine "$build/lw_driver.exe" "$@" 2>>"$work/bench.log"; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

mkdir -p "$work/data"
wt 300 wine "$build/make_bench_log.exe" "$(wt 20 winepath -w "$work/data/BENCH.DBF")" \
  "$records" >>"$work/bench.log" 2>&1 || { echo "make_bench_log failed"; exit 1; }
table=$(wt 20 winepath -w "$work/data/BENCH.DBF")
cli_out=$(wt 20 winepath -w "$work/data/CLI.ADI")
title="Convert any DBF file to ADI"

gui_times=()
( cd "$work" && wt 900 wine "$build/src/app/LogWeave.exe" >>"$work/bench.log" 2>&1 ) &
app=$!
D wait LogWeave '#32770' || { echo "no language dialog"; exit 1; }
D click LogWeave 1002
sleep 0.3
D click LogWeave 1
D wait "$title" || { echo "no main window"; exit 1; }
D click "$title" 32771
D wait "Open DBF File" '#32770' && D ofn "Open DBF File" "$table"
D waitgone "Open DBF File"
# Every column's name is a catalogue keyword: assign each by double-click.
catalogue=$(D items "$title" 120)
for column in $(D items "$title" 32772 | awk '{print $1}'); do
  row=$(awk -v k="$column" '$1 == k {print NR - 1; exit}' <<<"$catalogue")
  D dblclick "$title" 120 "$row"
done
for ((i = 0; i < runs; i++)); do
  t=$(D timeclick "$title" 140 LOGWEAVE) || { echo "no completion message"; exit 1; }
  gui_times+=("$t")
  D click LOGWEAVE 1
  D waitgone LOGWEAVE
done
progress=$(D text "$title" '#7')
cp "$work/data/BENCH.ADI" "$work/data/GUI.ADI"
D click "$title" 105
wait "$app"

cli_times=()
for ((i = 0; i < runs; i++)); do
  t=$(D runtime "$build/logweave.exe" convert "$table" --auto --lang en -o "$cli_out") ||
    { echo "logweave.exe failed"; exit 1; }
  cli_times+=("$t")
done

gui=$(printf '%s\n' "${gui_times[@]}" | median)
cli=$(printf '%s\n' "${cli_times[@]}" | median)
same=no
cmp -s "$work/data/GUI.ADI" "$work/data/CLI.ADI" && same=yes
echo "records:                        $records ($(stat -c %s "$work/data/BENCH.DBF") bytes)"
echo "window, Convert to message:     ${gui} s   (runs: ${gui_times[*]})"
echo "command line, start to exit:    ${cli} s   (runs: ${cli_times[*]})"
echo "ratio window / command line:    $(awk -v g="$gui" -v c="$cli" 'BEGIN {printf "%.2f", g / c}')   (aim: at most 2)"
echo "progress line at the end:       $progress"
echo "same ADIF bytes:                $same"
