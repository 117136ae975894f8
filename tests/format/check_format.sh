#!/usr/bin/env bash
# The C and C++ sources are laid out as .clang-format says (hand-laid tables
# sit between "clang-format off" and "on"). The layout is that of
# clang-format 14, Debian's; with no clang-format 14 the test is skipped.
set -euo pipefail
root=$1
format=$(command -v clang-format-14 || command -v clang-format || true)
[ -n "$format" ] && "$format" --version | grep -q "version 14\." || {
  echo "SKIPPED: no clang-format 14"; exit 77; }
cd "$root"
find src tests fuzz bench examples tools res -type f \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 |
  xargs -0 "$format" --dry-run --Werror
