#!/usr/bin/env bash
# The bash completion run as bash runs it: what it offers after each command,
# compared with what `logweave ... --help` lists (commands, options, the
# values of --lang, --charset and --codepage), and the file names it offers.
# usage: completion_test.sh LOGWEAVE COMPLETION_FILE
set -uo pipefail
export LC_ALL=C
logweave=$1
source "$2"
failed=0
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n  expected: %s\n  offered:  %s\n' "$1" "$2" "$3"
    failed=1
  fi
}
offers() {  # the sorted words offered for the last of "$@" (after logweave)
  COMP_WORDS=(logweave "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _logweave
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
listed() {  # sorted words, one line
  tr ' ' '\n' | grep -v '^$' | sort | tr '\n' ' '
}
help_options() {  # every option the help of "$@" names, short and long
  "$logweave" "$@" --help | sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n' | listed
}
help_values() {  # the values an option's help lists as {a,b,c}
  "$logweave" convert --help | sed -n "s/^  $1 [A-Z]*:{\([^}]*\)}.*/\1/p" |
    tr ',' ' ' | listed
}

expect "registered" "complete -F _logweave logweave" "$(complete -p logweave)"
expect "commands" \
  "$("$logweave" --help | sed -n '/^Subcommands:/,$s/^  \([a-z]\+\) .*/\1/p' | listed)" \
  "$(offers "")"
expect "program options" "$(help_options)" "$(offers -)"
for command in fields catalogue convert check; do
  expect "$command options" "$(help_options "$command")" \
    "$(offers "$command" -)"
done
for option in --lang --charset --format; do
  expect "$option values" "$(help_values "$option")" "$(offers convert "$option" "")"
done
# The code pages are listed in the option's description.
expect "--codepage values" \
  "$( ("$logweave" convert --help | grep -o 'auto' | head -n 1
       "$logweave" convert --help | sed -n 's/.*or one of \([0-9, ]*\).*/\1/p' |
         tr ',' ' ') | listed)" \
  "$(offers convert --codepage "")"
expect "a value after =" "utf-8 " "$(offers convert --charset = u)"
expect "values after =" "en es " "$(offers fields --lang =)"

# File names: tables for convert, ADIF files for check, any file after -o.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/old logs"
touch "$dir/a.dbf" "$dir/B.DBF" "$dir/all.adi" "$dir/notes.txt"
cd "$dir" || exit 1
expect "tables" "B.DBF a.dbf old logs " "$(offers convert a.dbf "")"
expect "ADIF files" "all.adi old logs " "$(offers check "")"
expect "any file" "B.DBF a.dbf all.adi notes.txt old logs " \
  "$(offers convert a.dbf -o "")"
expect "a column mapping" "" "$(offers convert a.dbf --map "")"
expect "no file for catalogue" "" "$(offers catalogue "")"
exit $failed
