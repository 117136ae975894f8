# wine_session.sh: sourced by scripts/test_windows.sh and bench/gui_bench.sh.
# Starts a private X display and a fresh 32-bit Wine prefix with a virtual
# desktop, and tears both down again.
#
#   wine_session_start WORKDIR    sets DISPLAY, WINEPREFIX and the rest
#   wine_session_stop             kills the prefix's processes and Xvfb
#   wt SECONDS CMD...             runs a Wine command under timeout

wt() {
  local seconds=$1
  shift
  timeout -k 5 "$seconds" "$@"
}

# The first display number from 90 on with no server and no lock.
free_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return 0; }
  done
  return 1
}

wine_session_start() {
  local work=$1 n i
  export LC_ALL=C.UTF-8                      # ANSI code page 1252
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="  # never offer Mono or Gecko
  export WINEPREFIX="$work/prefix"
  n=$(free_display) || { echo "no free X display" >&2; return 1; }
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  WINE_SESSION_XVFB=$!
  export DISPLAY=":$n"
  for i in $(seq 1 100); do
    xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
    sleep 0.1
  done
  xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 || { echo "Xvfb did not start" >&2; return 1; }

  # A new prefix, Wine's own fonts (caption buttons, dialog fonts), and a
  # virtual desktop: without a window manager, plain X windows stall on
  # every hide and destroy.
  wt 180 wineboot -i >"$work/wineboot.log" 2>&1 || { echo "wineboot failed" >&2; return 1; }
  local fonts
  fonts=$(dpkg -L fonts-wine 2>/dev/null | grep -E '\.(ttf|fon)$' || true)
  [ -n "$fonts" ] && cp $fonts "$WINEPREFIX/drive_c/windows/Fonts/"
  wt 60 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wt 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
  wt 60 wineserver -w
  # A persistent server, warmed up without a pipe: the services the first
  # Wine process starts keep its standard error open.
  wt 10 wineserver -p || true
  wt 60 wine cmd /c exit >"$work/warmup.log" 2>&1
  return 0
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k >/dev/null 2>&1
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -w >/dev/null 2>&1
  if [ -n "${WINE_SESSION_XVFB:-}" ]; then
    kill "$WINE_SESSION_XVFB" 2>/dev/null
    wait "$WINE_SESSION_XVFB" 2>/dev/null
  fi
  WINE_SESSION_XVFB=""
}
