#!/usr/bin/env bash
# e2e.sh: end-to-end scenarios of the real LogWeave.exe under Wine, driven
# through its real dialogs with lw_driver.exe (and real mouse and key input
# where the input itself is under test). Run by scripts/test_windows.sh in a
# Wine session it has started; prints "N passed, M failed" and exits 1 on any
# failure.
#
# usage: e2e.sh BUILD_DIR WORK_DIR [SCREENSHOT_DIR]
set -uo pipefail

BUILD=$(cd "$1" && pwd)
WORK=$2
SHOTS=${3:-$WORK}
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
source "$HERE/wine_session.sh"

APP="$BUILD/src/app/LogWeave.exe"
CLI="$BUILD/logweave.exe"
DRIVER="$BUILD/lw_driver.exe"
LOG="$WORK/e2e.log"
DATA="$WORK/datos"
mkdir -p "$DATA" "$SHOTS"
: >"$LOG"

TITLE_ES=$'Conversi\xc3\xb3n DBF a Formato ADIF'   # UTF-8; Wine hands it on as 1252
TITLE_EN="Convert any DBF file to ADI"
OPEN_ES="Abrir fichero DBF"
OPEN_EN="Open DBF File"

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "  ok    $*"; }
bad() { failed=$((failed + 1)); echo "  FAIL  $*"; }
# check NAME ACTUAL EXPECTED
check() {
  if [ "$2" == "$3" ]; then ok "$1"; else
    bad "$1"; printf '        got:      %q\n        expected: %q\n' "$2" "$3"; fi
}
# check_has NAME TEXT PART
check_has() {
  if [[ "$2" == *"$3"* ]]; then ok "$1"; else
    bad "$1"; printf '        %q does not contain %q\n' "$2" "$3"; fi
}

D() { wt 40 wine "$DRIVER" "$@" 2>>"$LOG"; }
winpath() { wt 20 winepath -w "$1" 2>>"$LOG"; }

# Polls a driver query until it prints EXPECTED (posted clicks land a moment
# later); prints the last answer.
poll() {
  local expected=$1 answer i
  shift
  for i in $(seq 1 40); do
    answer=$(D "$@")
    [ "$answer" == "$expected" ] && break
    sleep 0.05
  done
  printf '%s' "$answer"
}

start_app() {
  rm -f "$WORK/exit.code"
  # The open-file dialog remembers its last folder per program; start clean.
  wt 20 wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32' /f >/dev/null 2>&1
  ( cd "$WORK" && wt 120 wine "$APP" >>"$LOG" 2>&1; echo $? >"$WORK/exit.code" ) &
}

# Waits for the program to end and checks its exit code.
check_exit() {
  local i code=none
  for i in $(seq 1 150); do
    [ -s "$WORK/exit.code" ] && { code=$(cat "$WORK/exit.code"); break; }
    sleep 0.1
  done
  check "$1" "$code" 0
  if [ "$code" == none ]; then reset_wine; fi
}

# After a scenario that went wrong: end every process of the prefix.
reset_wine() {
  wt 20 wineserver -k >/dev/null 2>&1
  wt 20 wineserver -w >/dev/null 2>&1
  wt 10 wineserver -p >/dev/null 2>&1
  wait 2>/dev/null
}

shot() {
  local rect x y w h
  sleep 0.4
  rect=$(D rect "$2") || return
  read -r x y w h <<<"$rect"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$1" 2>>"$LOG"
}

# Opens TABLE through the real open-file dialog titled OPEN_TITLE.
browse() {
  local main=$1 open=$2 table=$3
  D click "$main" 32771
  if D wait "$open" '#32770'; then
    D ofn "$open" "$(winpath "$table")"
    D waitgone "$open" || bad "open-file dialog closes"
  else
    bad "open-file dialog \"$open\" shown"
  fi
}

keywords_of() { awk '{print $5}' | paste -sd' '; }

# The data folder as drive L:, so paths (and the screenshots) read
# "L:\..." rather than a folder of this machine.
ln -sfn "$DATA" "$WINEPREFIX/dosdevices/l:"

# The example log under a name with an accent and a blank.
TABLE="$DATA/Registro A"$'\xc3\xb1'"o 2005.DBF"
cp "$ROOT/examples/log2005.dbf" "$TABLE"
ADI="${TABLE%DBF}ADI"
WIN_TABLE=$(winpath "$TABLE")
WIN_ADI=$(winpath "$ADI")

scenario_spanish() {
  echo "Spanish: OK untouched, open, assign by double-click, convert, help, Exit"
  start_app
  D wait LogWeave '#32770' || { bad "language dialog shown"; reset_wine; return; }
  check "Spanish is marked at first" "$(D checked LogWeave 1001)" 1
  check "English is not" "$(D checked LogWeave 1002)" 0
  D click LogWeave 1
  D wait "$TITLE_ES" || { bad "main window titled in Spanish"; reset_wine; return; }
  ok "main window titled in Spanish"
  check "Exit button in Spanish" "$(D text "$TITLE_ES" 105)" "&Salir"
  check "catalogue label in Spanish" "$(D text "$TITLE_ES" '#6')" "Selecciona correspondencia Adif"
  check "Convert disabled before a table" "$(D enabled "$TITLE_ES" 140)" 0
  check "catalogue holds 43 entries" "$(D items "$TITLE_ES" 120 | wc -l)" 43

  browse "$TITLE_ES" "$OPEN_ES" "$TABLE"
  local fields
  fields=$(wt 60 wine "$CLI" fields "$WIN_TABLE" --lang es 2>>"$LOG" | tr -d '\r')
  check "path shown" "$(D text "$TITLE_ES" '#1')" "$WIN_TABLE"
  check "information line" "$(D text "$TITLE_ES" '#2')" "$(head -n 1 <<<"$fields")"
  check "field list as the command line lists it" \
    "$(D items "$TITLE_ES" 32772)" "$(tail -n +2 <<<"$fields")"
  check "first column selected" "$(D selected "$TITLE_ES" 32772)" 0
  check "ignore row selected" "$(D selected "$TITLE_ES" 120)" 0
  check "Convert enabled" "$(D enabled "$TITLE_ES" 140)" 1

  # Real double-clicks, one keyword per column from the first on; QTH
  # stays skipped by clicking the column after it.
  local row
  for row in 5 28 40 4 16 12 31 30 17; do D dblclick "$TITLE_ES" 120 "$row"; done
  D clickitem "$TITLE_ES" 32772 10
  for row in 26 25 7; do D dblclick "$TITLE_ES" 120 "$row"; done
  check "keywords assigned by double-click" \
    "$(D items "$TITLE_ES" 32772 | keywords_of)" \
    "CALL QSO_DATE TIME_ON BAND MODE FREQ RST_SENT RST_RCVD NAME Omitir QSL_SENT QSL_RCVD COMMENT"
  check "no column selected after the last" "$(D selected "$TITLE_ES" 32772)" -1
  D top "$TITLE_ES" 32772 0
  D top "$TITLE_ES" 120 4
  shot screenshot-es.png "$TITLE_ES"

  D click "$TITLE_ES" 140
  if D wait LOGWEAVE '#32770'; then
    check "completion message" "$(D text LOGWEAVE 0xFFFF)" \
      "$WIN_TABLE"$'\n'"convertido en"$'\n'"$WIN_ADI"
    D click LOGWEAVE 1
    D waitgone LOGWEAVE || bad "completion message closes"
  else
    bad "completion message shown"
  fi
  check "progress ends on the last record" "$(D text "$TITLE_ES" '#7')" "36/36"

  local map=INDICATIVO=CALL,FECHA=QSO_DATE,HORA=TIME_ON,BANDA=BAND,MODO=MODE
  map+=,FRECUENCIA=FREQ,RST_ENV=RST_SENT,RST_REC=RST_RCVD,NOMBRE=NAME
  map+=,QSL_ENV=QSL_SENT,QSL_REC=QSL_RCVD,NOTAS=COMMENT
  wt 60 wine "$CLI" convert "$WIN_TABLE" --lang es --map "$map" \
    -o "$(winpath "$WORK/cli-es.adi")" >>"$LOG" 2>&1
  if [ -s "$ADI" ] && cmp -s "$ADI" "$WORK/cli-es.adi"; then
    ok "ADIF identical to the command line's"
  else
    bad "ADIF identical to the command line's"
  fi
  cp "$ADI" "$WORK/window-es.adi" 2>/dev/null

  D click "$TITLE_ES" 9
  if D wait ERROR '#32770'; then
    check_has "help button opens logweave.hlp" "$(D text ERROR 0xFFFF)" "'logweave.hlp'"
    D click ERROR 7
    D waitgone ERROR || bad "help error box closes"
  else
    bad "help button calls the help viewer"
  fi

  D click "$TITLE_ES" 105
  check_exit "Exit button ends with exit code 0"
}

scenario_english() {
  echo "English: English then Esc, open, assign, convert, About, Alt+A, F1, Alt+F4"
  start_app
  D wait LogWeave '#32770' || { bad "language dialog shown"; reset_wine; return; }
  D click LogWeave 1002
  check "English marked" "$(poll 1 checked LogWeave 1002)" 1
  check "Spanish unmarked" "$(D checked LogWeave 1001)" 0
  D key LogWeave 0x1B
  D wait "$TITLE_EN" || { bad "Esc keeps English"; reset_wine; return; }
  ok "Esc keeps English"
  check "Convert button in English" "$(D text "$TITLE_EN" 140)" "&Convert"
  check "size heading in English" "$(D text "$TITLE_EN" '#5')" \
    $'\xc2\xa0\xc2\xa0\xc2\xa0Size\xc2\xa0\xc2\xa0\xc2\xa0\xc2\xa0Decimals\xc2\xa0Adif'
  check "ignore row in English" "$(D items "$TITLE_EN" 120 | head -n 1)" \
    $'Skip \xc2\xa0 Ignore the field'

  browse "$TITLE_EN" "$OPEN_EN" "$TABLE"
  check "information line in English" "$(D text "$TITLE_EN" '#2')" \
    "Created in: 14-06-105 with 36 Qso's"
  local row
  for row in 5 28 40 4; do D dblclick "$TITLE_EN" 120 "$row"; done
  check "keywords assigned" "$(D items "$TITLE_EN" 32772 | keywords_of)" \
    "CALL QSO_DATE TIME_ON BAND Skip Skip Skip Skip Skip Skip Skip Skip Skip"
  check "next column selected" "$(D selected "$TITLE_EN" 32772)" 4
  shot screenshot-en.png "$TITLE_EN"

  D click "$TITLE_EN" 140
  if D wait LOGWEAVE '#32770'; then
    check "completion message" "$(D text LOGWEAVE 0xFFFF)" \
      "$WIN_TABLE"$'\n'"converted to"$'\n'"$WIN_ADI"
    D click LOGWEAVE 1
    D waitgone LOGWEAVE || bad "completion message closes"
  else
    bad "completion message shown"
  fi
  wt 60 wine "$CLI" convert "$WIN_TABLE" --lang en \
    --map INDICATIVO=CALL,FECHA=QSO_DATE,HORA=TIME_ON,BANDA=BAND \
    -o "$(winpath "$WORK/cli-en.adi")" >>"$LOG" 2>&1
  if [ -s "$ADI" ] && cmp -s "$ADI" "$WORK/cli-en.adi"; then
    ok "ADIF identical to the command line's"
  else
    bad "ADIF identical to the command line's"
  fi

  D click "$TITLE_EN" 104
  if D wait "Acerca de..." '#32770'; then
    check "About's OK button" "$(D text "Acerca de..." 1)" "OK"
    D key "Acerca de..." 0x1B
    D waitgone "Acerca de..." && ok "Esc closes About" || bad "Esc closes About"
  else
    bad "About button opens About"
  fi
  D key "$TITLE_EN" 0x41 alt
  if D wait "Acerca de..." '#32770'; then
    ok "Alt+A opens About"
    D ncclick "Acerca de..." 20
    D waitgone "Acerca de..." && ok "the close box closes About" ||
      bad "the close box closes About"
  else
    bad "Alt+A opens About"
  fi

  D key "$TITLE_EN" 0x70
  if D wait ERROR '#32770'; then
    check_has "F1 opens lgweave.hlp" "$(D text ERROR 0xFFFF)" "'lgweave.hlp'"
    D click ERROR 7
    D waitgone ERROR || bad "help error box closes"
  else
    bad "F1 calls the help viewer"
  fi
  D click "$TITLE_EN" 9
  if D wait ERROR '#32770'; then
    check_has "help button opens lgweave.hlp" "$(D text ERROR 0xFFFF)" "'lgweave.hlp'"
    D click ERROR 7
    D waitgone ERROR || bad "help error box closes"
  else
    bad "help button calls the help viewer"
  fi

  D key "$TITLE_EN" 0x73 alt
  check_exit "Alt+F4 ends with exit code 0"
}

scenario_errors() {
  echo "Spanish: a refused table, a failed conversion, the close box"
  local short="$DATA/CORTO.DBF" folder_table="$DATA/CARPETA.DBF"
  printf '\003\151\006\016\044\000' >"$short"
  cp "$ROOT/examples/log2005.dbf" "$folder_table"
  mkdir -p "$DATA/CARPETA.ADI"

  start_app
  D wait LogWeave '#32770' || { bad "language dialog shown"; reset_wine; return; }
  D click LogWeave 1
  D wait "$TITLE_ES" || { bad "main window shown"; reset_wine; return; }

  browse "$TITLE_ES" "$OPEN_ES" "$folder_table"
  check "a good table is listed" "$(D items "$TITLE_ES" 32772 | wc -l)" 13
  browse "$TITLE_ES" "$OPEN_ES" "$short"
  if D wait LOGWEAVE '#32770'; then
    check_has "refused table reported" "$(D text LOGWEAVE 0xFFFF)" \
      "$(winpath "$short") no es una tabla DBF legible: "
    D click LOGWEAVE 1
    D waitgone LOGWEAVE || bad "message closes"
  else
    bad "refused table reported"
  fi
  check "no columns left" "$(D items "$TITLE_ES" 32772 | wc -l)" 0
  check "no information line left" "$(D text "$TITLE_ES" '#2')" ""
  check "Convert disabled" "$(D enabled "$TITLE_ES" 140)" 0

  browse "$TITLE_ES" "$OPEN_ES" "$folder_table"
  D dblclick "$TITLE_ES" 120 5
  D click "$TITLE_ES" 140
  if D wait LOGWEAVE '#32770'; then
    check_has "failed conversion reported" "$(D text LOGWEAVE 0xFFFF)" \
      "No se puede crear $(winpath "$DATA/CARPETA.ADI"): "
    D click LOGWEAVE 1
    D waitgone LOGWEAVE || bad "message closes"
  else
    bad "failed conversion reported"
  fi

  D ncclick "$TITLE_ES" 20
  check_exit "close box ends with exit code 0"
}

scenario_keys() {
  echo "English: the keyboard: Alt+. opens a table, Alt+s ends the program"
  start_app
  D wait LogWeave '#32770' || { bad "language dialog shown"; reset_wine; return; }
  D click LogWeave 1002
  poll 1 checked LogWeave 1002 >/dev/null
  D click LogWeave 1
  D wait "$TITLE_EN" || { bad "main window shown"; reset_wine; return; }
  D key "$TITLE_EN" 0xBE alt
  if D wait "$OPEN_EN" '#32770'; then
    ok "Alt+. opens the open-file dialog"
    D close "$OPEN_EN"
    D waitgone "$OPEN_EN" || bad "open-file dialog closes"
  else
    bad "Alt+. opens the open-file dialog"
  fi
  check "a cancelled dialog lists nothing" "$(D items "$TITLE_EN" 32772 | wc -l)" 0
  D key "$TITLE_EN" 0x53 alt
  check_exit "Alt+s ends with exit code 0"
}

# Runs the command line: its standard output and error, without CRs, in
# run_out and run_err, its exit code in run_code.
run_cli() {
  wt 60 wine "$CLI" "$@" >"$WORK/cli.out" 2>"$WORK/cli.err"
  run_code=$?
  run_out=$(tr -d '\r' <"$WORK/cli.out")
  run_err=$(tr -d '\r' <"$WORK/cli.err")
}

# The command line with names outside the ANSI code page (1252 here): a
# Cyrillic and a Greek table, its memo file, a mapping file, the output and
# the check all reach their files; messages show such letters as "?", the
# console's character set (a pipe's, the ANSI code page) having none.
scenario_names() {
  echo "Command line: Cyrillic and Greek file names, read-only outputs"
  local dir="$DATA/names"
  mkdir -p "$dir"
  cp "$ROOT/examples/fox2006.dbf" "$dir/plain.dbf"
  cp "$ROOT/examples/fox2006.FPT" "$dir/plain.FPT"
  printf 'NOTES=COMMENT\r\nNAME=NAME\r\n' >"$dir/plain.map"
  local options=(--auto --memo --charset ascii)
  run_cli convert "$(winpath "$dir/plain.dbf")" "${options[@]}" \
    --map-file "$(winpath "$dir/plain.map")"
  run_cli check "$(winpath "$dir/plain.ADI")"
  local expected_check=$run_out

  # The script, a table's name and how a message shows it, then the same
  # for an output.
  local cases=(
    Cyrillic
    $'\xd0\x96\xd1\x83\xd1\x80\xd0\xbd\xd0\xb0\xd0\xbb' '??????'
    $'\xd0\x92\xd1\x8b\xd1\x85\xd0\xbe\xd0\xb4' '?????'
    Greek
    $'\xce\x97\xce\xbc\xce\xb5\xcf\x81\xce\xbf\xce\xbb\xcf\x8c\xce\xb3\xce\xb9\xce\xbf' '??????????'
    $'\xce\x88\xce\xbe\xce\xbf\xce\xb4\xce\xbf\xcf\x82' '??????'
  )
  local i script name shown out out_shown table out_path
  for i in 0 5; do
    script=${cases[i]} name=${cases[i + 1]} shown=${cases[i + 2]}
    out=${cases[i + 3]} out_shown=${cases[i + 4]}
    table="$dir/$name.dbf"
    out_path="$dir/$out.adi"
    cp "$dir/plain.dbf" "$table"
    cp "$dir/plain.FPT" "$dir/$name.FPT"
    cp "$dir/plain.map" "$dir/$name.map"

    run_cli fields "$(winpath "$table")"
    check "$script: fields lists the table" "$run_code $(head -n 1 <<<"$run_out")" \
      "0 Created in: 03-11-106 with 4 Qso's"
    run_cli convert "$(winpath "$table")" "${options[@]}" \
      --map-file "$(winpath "$dir/$name.map")" -o "$(winpath "$out_path")"
    check "$script: convert with its memo and mapping files" \
      "$run_code $run_out" \
      "0 L:\\names\\$shown.dbf"$'\n'"converted to"$'\n'"L:\\names\\$out_shown.adi"
    if cmp -s "$out_path" "$dir/plain.ADI"; then
      ok "$script: the output holds the bytes of an ASCII name's"
    else
      bad "$script: the output holds the bytes of an ASCII name's"
    fi
    run_cli check "$(winpath "$out_path")"
    check "$script: check reads the output" "$run_out" "$expected_check"
    run_cli convert "$(winpath "$table")" "${options[@]}" \
      --map-file "$(winpath "$dir/$name.map")"
    if [ "$run_code" == 0 ] && cmp -s "$dir/$name.ADI" "$dir/plain.ADI"; then
      ok "$script: the derived output is named after the table"
    else
      bad "$script: the derived output is named after the table"
    fi

    # A read-only output is refused and kept, in both languages.
    chmod 444 "$out_path"
    run_cli convert "$(winpath "$table")" "${options[@]}" \
      -o "$(winpath "$out_path")" --lang es
    check "$script: a read-only output is refused" "$run_code $run_out$run_err" \
      "1 logweave: No se puede crear L:\\names\\$out_shown.adi: es de solo lectura"
    run_cli convert "$(winpath "$table")" "${options[@]}" \
      -o "$(winpath "$out_path")"
    check "$script: ... in English" "$run_code $run_out$run_err" \
      "1 logweave: Cannot create L:\\names\\$out_shown.adi: it is read-only"
    if cmp -s "$out_path" "$dir/plain.ADI"; then
      ok "$script: the read-only output is kept"
    else
      bad "$script: the read-only output is kept"
    fi
    chmod 644 "$out_path"
  done
  check "no temporary file left" "$(ls -A "$dir" | grep -c '^~lw')" 0
  run_cli fields "$(winpath "$dir")\\${cases[1]}2.dbf" --lang es
  check "a missing table is named" "$run_code $run_err" \
    "1 logweave: No se puede abrir L:\\names\\${cases[2]}2.dbf: No existe el fichero o la carpeta"
}

scenario_spanish
scenario_english
scenario_errors
scenario_keys
scenario_names
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
