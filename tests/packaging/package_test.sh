#!/usr/bin/env bash
# The packages as CPack makes them: the files they hold, listed and compared;
# for the Debian package (listed with dpkg-deb -c) also its control fields
# and a program that runs from it. The Windows ZIP is listed by cmake.
# Skipped (77) when cpack, or for the Debian package dpkg-deb, is missing.
# usage: package_test.sh DEB|ZIP CPACK CPACK_CONFIG WORK_FOLDER SOURCE_FOLDER
set -uo pipefail
export LC_ALL=C
generator=$1 cpack=$2 config=$3 work=$4 source=$5
command -v "$cpack" >/dev/null || exit 77
[ "$generator" = ZIP ] || command -v dpkg-deb >/dev/null || exit 77
rm -rf "$work"
mkdir -p "$work"
"$cpack" -G "$generator" --config "$config" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
failed=0
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n  expected: %s\n  found:    %s\n' "$1" "$2" "$3"
    failed=1
  fi
}

if [ "$generator" = ZIP ]; then
  package=$(ls "$work"/*.zip) || exit 1
  folder=$(basename "$package" .zip)
  expect "files" "$(printf "$folder/%s\n" LogWeave.exe README.md \
                      bin/logweave.exe examples/fox2006.FPT \
                      examples/fox2006.dbf examples/log2005.dbf \
                      examples/log2005.map)" \
    "$("$(dirname "$cpack")/cmake" -E tar tf "$package" | grep -v '/$' | sort)"
  exit $failed
fi

package=$(ls "$work"/*.deb) || exit 1
expect "files" "\
-rwxr-xr-x root/root ./usr/bin/logweave
-rw-r--r-- root/root ./usr/share/bash-completion/completions/logweave
-rw-r--r-- root/root ./usr/share/doc/logweave/README.md
-rw-r--r-- root/root ./usr/share/doc/logweave/examples/fox2006.FPT
-rw-r--r-- root/root ./usr/share/doc/logweave/examples/fox2006.dbf
-rw-r--r-- root/root ./usr/share/doc/logweave/examples/log2005.dbf
-rw-r--r-- root/root ./usr/share/doc/logweave/examples/log2005.map
-rw-r--r-- root/root ./usr/share/man/man1/logweave.1.gz" \
  "$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort -k3)"

root="$work/root"
dpkg-deb -x "$package" "$root"
# The program runs from the package and its version is the package's.
version=$("$root/usr/bin/logweave" --version | awk '{ print $2 }')
expect "control" "logweave hamradio ${version:-(no version)}" \
  "$(dpkg-deb -f "$package" Package Section Version | sed 's/^[^:]*: //' |
     paste -sd ' ')"
expect "manual page" "$(sed -n 2p "$source/packaging/logweave.1.in")" \
  "$(gzip -dc "$root/usr/share/man/man1/logweave.1.gz" | sed -n 2p)"
cmp -s "$source/packaging/logweave.bash" \
  "$root/usr/share/bash-completion/completions/logweave" ||
  { echo "FAIL the completion differs from packaging/logweave.bash"; failed=1; }
exit $failed
