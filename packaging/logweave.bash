# bash completion for logweave: the commands, each command's options, the
# values of --lang, --charset, --codepage and --format, and file names (tables for
# fields and convert, ADIF files for check, any file after -o and --map-file).
# tests/packaging/completion_test.sh keeps it in step with --help.

_logweave_reply() {  # the words of "$1" that start with the word completed
  mapfile -t COMPREPLY < <(compgen -W "$1" -- "$cur")
}

_logweave_files() {  # folders and the files whose names match "$1", if given
  compopt -o filenames 2>/dev/null
  if [ $# -eq 0 ]; then
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
  else
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X "!$1" -- "$cur")
  fi
}

_logweave() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  # "--lang=es" comes as "--lang" "=" "es" (bash breaks words at "=").
  if [[ $cur == = ]]; then
    cur=""
  elif [[ $prev == = ]]; then
    prev=${COMP_WORDS[COMP_CWORD-2]}
  fi
  local command="" word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    case $word in
      fields|catalogue|convert|check) command=$word; break ;;
    esac
  done

  case $prev in
    --lang) _logweave_reply "en es"; return ;;
    --charset) _logweave_reply "keep ascii utf-8"; return ;;
    --codepage) _logweave_reply "auto 437 620 737 850 852 857 860 861 862 863
                                  865 866 874 895 1250 1251 1252 1253 1254
                                  1255 1256 1257"; return ;;
    --format) _logweave_reply "adi adx"; return ;;
    --date-order) _logweave_reply "dmy mdy ymd"; return ;;
    --for) _logweave_reply "lotw"; return ;;
    --set) COMPREPLY=(); return ;;  # FIELD=VALUE
    --read-as) COMPREPLY=(); return ;;  # COLUMN=FORM
    --map) COMPREPLY=(); return ;;  # COLUMN=KEYWORD
    -o|--output|--map-file) _logweave_files; return ;;
  esac

  local options
  case $command in
    "") options="-h --help --version" ;;
    fields) options="-h --help --lang --mapping --guess" ;;
    catalogue) options="-h --help --lang" ;;
    convert) options="-h --help --lang --map --auto -o --output --skip-deleted
                      --map-file --check --memo --codepage --charset --format
                      --merge --drop-duplicates --guess --fix --date-order
                      --read-as --set --for" ;;
    check) options="-h --help --lang --all --strict --for" ;;
  esac
  if [[ $cur == -* ]]; then
    _logweave_reply "$options"
    return
  fi
  case $command in
    "") _logweave_reply "fields catalogue convert check" ;;
    fields|convert) _logweave_files "*.[dD][bB][fF]" ;;
    check) _logweave_files "*.[aA][dD][iIxX]" ;;
    *) COMPREPLY=() ;;
  esac
}

complete -F _logweave logweave
