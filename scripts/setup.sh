#!/usr/bin/env bash
# Installs what the build and the tests need on Debian, only what is missing.
#   scripts/setup.sh            native build and tests
#   scripts/setup.sh windows    plus the Windows cross build and Wine
#   scripts/setup.sh fuzz       plus clang's fuzzing runtime
set -euo pipefail

packages=(cmake g++ make libgtest-dev googletest libcli11-dev python3-dbf shapelib
          # the Debian package's library dependencies, read by CPack; the
          # package checked by lintian; the manual page read by groff
          dpkg-dev file lintian groff-base
          # LoTW's own client, the oracle check --for lotw is compared with
          trustedqsl
          # the Kamenicky and Mazovia tables the code-page test compares with
          konwert
          # the layout the sources keep
          clang-format)
for extra in "$@"; do
  case "$extra" in
    windows) packages+=(mingw-w64 wine wine32:i386 wine64 fonts-wine xvfb xdotool
                        x11-utils imagemagick
                        # X extensions 32-bit Wine draws and takes input with
                        # (only recommended by the wine packages)
                        libxrender1:i386 libxi6:i386 libxrandr2:i386
                        libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386
                        libxfixes3:i386 libxxf86vm1:i386) ;;
    fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
    *) echo "setup.sh: unknown part '$extra'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
for p in "${missing[@]}"; do
  if [[ "$p" == *:i386 ]]; then
    dpkg --print-foreign-architectures | grep -q i386 || $sudo dpkg --add-architecture i386
  fi
done
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
