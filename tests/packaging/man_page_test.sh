#!/usr/bin/env bash
# The manual page against the program's own help, command by command: the
# options each command's --help lists and the options its section of the
# page describes (the tags of the .TP paragraphs before the section's first
# .SS) are the same set, both ways; the page's synopsis names every command;
# and the page reads without a roff warning.
# usage: man_page_test.sh LOGWEAVE MAN_PAGE
set -uo pipefail
export LC_ALL=C
logweave=$1 page=$2
failed=0
fail() { echo "FAIL $*"; failed=1; }

# Each command and the section of the page that describes its options. "-"
# is the program itself; -h/--help, which every command has, is described
# once, there.
table="\
-         OPTIONS
fields    FIELDS
catalogue CATALOGUE
convert   CONVERT
check     CHECK"

options_in() {  # the options named in standard input, one a line, sorted
  sed 's/\\-/-/g' | grep -o -- '\(^\|[^A-Za-z0-9-]\)--\?[a-z][a-z0-9-]*' |
    sed 's/^[^-]*//' | sort -u
}
help_options() {  # the options `logweave [COMMAND] --help` lists
  "$logweave" "$@" --help | sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n' |
    options_in
}
page_options() {  # the options in the tags of a section's .TP paragraphs
  awk -v section="$1" '
    /^\.SH/ { inside = ($0 == ".SH " section); next }
    /^\.SS/ { inside = 0 }
    inside && tag { print; tag = 0 }
    inside && /^\.TP/ { tag = 1 }' "$page" | options_in
}
differ() {  # differ WHAT LEFT RIGHT: the lines of one that the other lacks
  local only
  only=$(comm -23 <(printf '%s\n' "$2") <(printf '%s\n' "$3") | paste -sd ' ')
  [ -z "$only" ] || fail "$1: $only"
}

commands=$("$logweave" --help | sed -n '/^Subcommands:/,$s/^  \([a-z]\+\) .*/\1/p' |
           sort)
differ "commands in --help but not in this test's table" "$commands" \
  "$(printf '%s\n' "$table" | awk '$1 != "-" { print $1 }' | sort)"
differ "commands in --help but not in the page's synopsis" "$commands" \
  "$(sed -n 's/^\.B logweave \([a-z]*\)$/\1/p' "$page" | sort)"

while read -r command section; do
  grep -q "^\.SH $section\$" "$page" || { fail "the page has no section $section"; continue; }
  if [ "$command" = - ]; then
    help=$(help_options)
  else
    help=$(help_options "$command" | grep -vx -- '-h\|--help')
  fi
  described=$(page_options "$section")
  differ "${command/-/logweave} options in --help, not in the page's $section" \
    "$help" "$described"
  differ "options in the page's $section, not in ${command/-/logweave} --help" \
    "$described" "$help"
done <<<"$table"

# groff (in Debian's groff-base, which man needs) reads the page cleanly.
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || fail "groff: $warnings"
fi
exit $failed
