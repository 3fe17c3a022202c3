# A throwaway Wine prefix and a virtual display for one run of the Windows programs.

# Sets the pinned environment every Wine run uses and creates a fresh prefix. Start the
# display first: Wine's desktop process, started here, keeps the display it found.
qz_wine_prefix() {
  local base="$QZ_BUILD/win/wine"
  export WINEPREFIX="$base/prefix" HOME="$base/home"
  export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
  export LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 TZ=UTC
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$base"
  mkdir -p "$HOME"
  # One persistent wineserver for the whole run, and Wine's own services started now
  # with their output to /dev/null: a service started by a test would inherit the
  # test's output pipe and keep its reader waiting until the server ends.
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1
  wineboot -i >/dev/null 2>&1
  qz_prefix_fonts
  # With no window manager Wine waits for one at every hide, destroy and exit.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # One desktop process for the run, held by a hidden window: otherwise each test
  # starts its own, which inherits the test's output and holds ctest after the test.
  local keepalive="$QZ_BUILD/win/tests/testlib/qz_desktop_keepalive.exe"
  if [ -f "$keepalive" ]; then
    wine "$keepalive" >/dev/null 2>&1 &
  fi
}

# Wine here never reads its own font folder, so Tahoma and the Marlett caption glyphs would
# fall back to other faces; the prefix's Fonts folder is read, so they go there.
qz_prefix_fonts() {
  local own=/usr/share/wine/fonts dest="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d "$own" ] || return 0
  mkdir -p "$dest"
  cp -n "$own"/*.ttf "$dest"/ 2>/dev/null || true
}

# Starts Xvfb on a free display unless QZ_KEEP_DISPLAY is set and DISPLAY works. A display
# whose lock file is absent can still be taken (another mount namespace sharing the
# abstract X sockets), so a server that dies at start moves on to the next number.
qz_start_display() {
  if [ -n "${QZ_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n=90 last=130
  while [ $n -le $last ]; do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      QZ_XVFB_PID=$!
      for _ in $(seq 50); do
        if [ -e "/tmp/.X11-unix/X$n" ]; then
          export DISPLAY=":$n"
          return 0
        fi
        kill -0 "$QZ_XVFB_PID" 2>/dev/null || break
        sleep 0.1
      done
      kill "$QZ_XVFB_PID" >/dev/null 2>&1 || true
      QZ_XVFB_PID=
    fi
    n=$((n + 1))
  done
  echo "Xvfb did not start on any display :90-:$last" >&2
  return 1
}

qz_stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  if [ -n "${QZ_XVFB_PID:-}" ]; then
    kill "$QZ_XVFB_PID" >/dev/null 2>&1 || true
    QZ_XVFB_PID=
  fi
}
