#!/usr/bin/env bash
# Runs interop_test.py for one writer with a Python that can run it, or
# (old-logs) old_logs_test.py, the old logs of other loggers written by
# python3-dbf through --guess --fix:
#   run_interop.sh python3-dbf|shapelib|old-logs LOGWEAVE WORK_FOLDER
# The python3-dbf tests need a python3 on PATH that has the dbf module (a
# private Python earlier on PATH may lack Debian's packages, so every python3
# on PATH is tried). Exits 77, which ctest counts as skipped, when the writer
# is not installed.
set -uo pipefail
writer=$1
here=$(cd "$(dirname "$0")" && pwd)
module=
[ "$writer" = python3-dbf ] || [ "$writer" = old-logs ] && module="import dbf"
IFS=: read -r -a folders <<<"$PATH"
for folder in "${folders[@]}"; do
  python="${folder:-.}/python3"
  [ -x "$python" ] || continue
  if "$python" -c "${module:-pass}" 2>/dev/null; then
    if [ "$writer" = old-logs ]; then
      exec "$python" -B "$here/old_logs_test.py" --logweave "$2" --work "$3"
    fi
    exec "$python" -B "$here/interop_test.py" --writer "$writer" \
      --logweave "$2" --work "$3"
  fi
done
if [ -n "$module" ]; then
  echo "SKIPPED: no python3 with the dbf module (Debian package python3-dbf)"
else
  echo "SKIPPED: no python3 to drive the test"
fi
exit 77
