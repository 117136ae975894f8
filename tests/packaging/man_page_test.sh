#!/usr/bin/env bash
# The manual page and the README's command synopsis name the same commands
# and options as `logweave --help` and each command's help (-o and -h count
# as --output and --help), and the page reads without a roff warning.
# usage: man_page_test.sh LOGWEAVE MAN_PAGE README
set -uo pipefail
export LC_ALL=C
logweave=$1 page=$2 readme=$3
failed=0
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n  --help: %s\n  text:   %s\n' "$1" "$2" "$3"
    failed=1
  fi
}
long_names() {  # the options in standard input, short ones by their long names
  grep -o -- '\(^\|[^a-zA-Z0-9-]\)--\?[a-z][a-z-]*' | sed 's/^[^-]*//' |
    grep -v -- '-$' | sed 's/^-o$/--output/; s/^-h$/--help/' | grep '^-' |
    sort -u | tr '\n' ' '
}
commands=$("$logweave" --help | sed -n '/^Subcommands:/,$s/^  \([a-z]\+\) .*/\1/p')
help=$({
  "$logweave" --help | sed -n 's/^  \(-[^ ]*\).*/\1/p'
  for command in $commands; do
    "$logweave" "$command" --help | sed -n 's/^  \(-[^ ]*\).*/\1/p'
  done
} | tr ',' '\n' | long_names)

# The page with its escaped hyphens as hyphens; the synopsis of the README
# is the first code block after its "## The command line".
man_text=$(sed 's/\\-/-/g' "$page")
synopsis=$(awk '/^## The command line/ { part = 1; next }
                part == 1 && /^```/ { part = 2; next }
                part == 2 && /^```/ { exit }
                part == 2' "$readme")
expect "man page options" "$help" "$(printf '%s\n' "$man_text" | long_names)"
expect "README synopsis options" "$help" "$(printf '%s\n' "$synopsis" | long_names)"
for command in $commands; do
  grep -q "^\.B logweave $command\$" "$page" ||
    { echo "FAIL the man page has no synopsis line for $command"; failed=1; }
  printf '%s\n' "$synopsis" | grep -q "^logweave $command " ||
    { echo "FAIL the README synopsis has no line for $command"; failed=1; }
done

# groff (in Debian's groff-base, which man needs) reads the page cleanly.
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "FAIL groff: $warnings"; failed=1; }
fi
exit $failed
