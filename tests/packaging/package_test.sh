#!/usr/bin/env bash
# The packages as CPack makes them: the files they hold, listed and compared,
# and the documents in them pointing only at files that are there too.
# The Debian package is made as the README says (a Release build with
# LOGWEAVE_HARDENING, in WORK_FOLDER/build, kept between runs), listed with
# dpkg-deb -c, its control fields, changelog and manual page compared, a
# program run from it, and lintian run on it when lintian is installed. The
# Windows ZIP is made from the build this test belongs to and listed by cmake.
# Skipped (77) when cpack, or for the Debian package dpkg-deb, is missing.
# usage: package_test.sh DEB|ZIP CPACK CPACK_CONFIG WORK_FOLDER SOURCE_FOLDER
set -uo pipefail
export LC_ALL=C
generator=$1 cpack=$2 config=$3 work=$4 source=$5
cmake=$(dirname "$cpack")/cmake
command -v "$cpack" >/dev/null || exit 77
[ "$generator" = ZIP ] || command -v dpkg-deb >/dev/null || exit 77
mkdir -p "$work"
rm -rf "$work/package" "$work/root"
failed=0
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n  expected: %s\n  found:    %s\n' "$1" "$2" "$3"
    failed=1
  fi
}
run() {  # run LOG COMMAND...: the command's output only when it fails
  "${@:2}" >"$work/$1" 2>&1 || { tail -n 40 "$work/$1"; exit 1; }
}

# The documents' links and the files the manual page names, in a documentation
# folder as installed: every one must be there.
documents_point_at_their_files() {  # FOLDER MAN_PAGE
  local folder=$1 page=$2 document problems
  problems=$(
    for document in README.md docs/guide.md docs/robustness.md; do
      [ -f "$folder/$document" ] || { echo "FAIL no $document"; continue; }
      # Markdown links [text](target), less web addresses and anchors.
      grep -o '](\([^)]*\))' "$folder/$document" |
        sed 's/^](//; s/)$//; s/#.*//' | grep -v '^[a-z]*:' | sort -u |
        while read -r link; do
          [ -z "$link" ] || [ -e "$(dirname "$folder/$document")/$link" ] ||
            echo "FAIL $document links to $link, which is not installed"
        done
    done
    # The page's SEE ALSO names the documents by their place in the folder.
    sed -n '/^\.SH SEE ALSO/,/^\.SH/p' "$page" |
      sed -n 's/^\.IR\? \([a-z][^ ]*\).*/\1/p' | while read -r name; do
        [ -e "$folder/$name" ] ||
          echo "FAIL the manual names $name, which is not installed"
      done)
  [ -z "$problems" ] || { printf '%s\n' "$problems"; failed=1; }
}
examples="examples/fox2006.FPT examples/fox2006.dbf examples/log2005.dbf
examples/log2005.map examples/oldlog.dbf examples/other-logger.adi"
documents="docs/guide.md docs/robustness.md docs/screenshot-en.png
docs/screenshot-es.png README.md"

if [ "$generator" = ZIP ]; then
  run cpack.log "$cpack" -G ZIP --config "$config" -B "$work/package"
  package=$(ls "$work/package"/*.zip) || exit 1
  folder=$(basename "$package" .zip)
  expect "files" "$(printf "$folder/%s\n" LogWeave.exe bin/logweave.exe \
                      docs/manual.txt $documents $examples | sort)" \
    "$("$cmake" -E tar tf "$package" | grep -v '/$' | sort)"
  mkdir -p "$work/root"
  (cd "$work/root" && "$cmake" -E tar xf "$package") || exit 1
  documents_point_at_their_files "$work/root/$folder" \
    "$(dirname "$config")/packaging/logweave.1"
  grep -q '^NAME' "$work/root/$folder/docs/manual.txt" ||
    { echo "FAIL docs/manual.txt is not the manual page"; failed=1; }
  exit $failed
fi

# The Debian package, as the README makes it.
tree=$work/build
run configure.log "$cmake" -S "$source" -B "$tree" -DCMAKE_BUILD_TYPE=Release \
  -DLOGWEAVE_TESTS=OFF -DLOGWEAVE_HARDENING=ON
run build.log "$cmake" --build "$tree" -j2
run cpack.log "$cpack" -G DEB --config "$tree/CPackConfig.cmake" -B "$work/package"
package=$(ls "$work/package"/*.deb) || exit 1
doc=./usr/share/doc/logweave
expect "files" "$( (
  echo "-rwxr-xr-x ./usr/bin/logweave"
  echo "-rw-r--r-- ./usr/share/bash-completion/completions/logweave"
  printf -- "-rw-r--r-- $doc/%s\n" changelog.gz copyright $documents $examples
  echo "-rw-r--r-- ./usr/share/lintian/overrides/logweave"
  echo "-rw-r--r-- ./usr/share/man/man1/logweave.1.gz") | sort -k2)" \
  "$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $1, $6 }' | sort -k2)"

root="$work/root"
dpkg-deb -x "$package" "$root"
# The program runs from the package and its version is the package's, and
# the changelog's latest entry.
version=$("$root/usr/bin/logweave" --version | awk '{ print $2 }')
expect "control" "logweave hamradio ${version:-(no version)}" \
  "$(dpkg-deb -f "$package" Package Section Version | sed 's/^[^:]*: //' |
     paste -sd ' ')"
if command -v dpkg-parsechangelog >/dev/null; then
  expect "changelog" "$version" \
    "$(gzip -dc "$root/$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version)"
fi
expect "manual page" "$(sed "s/@PROJECT_VERSION@/$version/g" "$source/packaging/logweave.1.in")" \
  "$(gzip -dc "$root/usr/share/man/man1/logweave.1.gz")"
cmp -s "$source/packaging/logweave.bash" \
  "$root/usr/share/bash-completion/completions/logweave" ||
  { echo "FAIL the completion differs from packaging/logweave.bash"; failed=1; }
documents_point_at_their_files "$root/$doc" "$tree/packaging/logweave.1"

# lintian, with its informational tags (hardening among them); the package's
# overrides are its own file.
if command -v lintian >/dev/null; then
  report=$(lintian --display-info --fail-on error,warning,info "$package" 2>&1)
  status=$?
  report=$(printf '%s\n' "$report" | grep -v 'running with root privileges')
  if [ "$status" -ne 0 ] || [ -n "$report" ]; then
    printf 'FAIL lintian:\n%s\n' "$report"
    failed=1
  fi
else
  echo "lintian is not installed: the package was not checked by it"
fi
exit $failed
