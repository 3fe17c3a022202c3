# A virtual display and the Wine prefixes of the Windows trees, for one run.
QZ_WINE_TREES=()

# qz_wine_prefix TREE: a fresh prefix for that tree, stopped again by qz_stop_wine. Start
# the display first: Wine's desktop process keeps the display it found. With
# QZ_KEEP_PREFIX set, a prefix the caller made and stops (one display, one prefix for
# several runs) is used as it is.
qz_wine_prefix() {
  if [ -n "${QZ_KEEP_PREFIX:-}" ] && [ -f "$1/wine-data/ready" ]; then return 0; fi
  "$1/wine" --init
  QZ_WINE_TREES+=("$1")
}

# Starts Xvfb on a free display unless QZ_KEEP_DISPLAY is set and DISPLAY works. A display
# whose lock file is absent can still be taken (another mount namespace sharing the
# abstract X sockets), so a server that dies at start moves on to the next number.
qz_start_display() {
  if [ -n "${QZ_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  [ -n "${QZ_XVFB_PID:-}" ] && return 0
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

# qz_stop_wine_tree TREE: ends that tree's wineserver before the next tree's run.
qz_stop_wine_tree() {
  "$1/wine" --server -k >/dev/null 2>&1 || true
}

qz_stop_wine() {
  local tree
  for tree in "${QZ_WINE_TREES[@]}"; do
    qz_stop_wine_tree "$tree"
  done
  QZ_WINE_TREES=()
  if [ -n "${QZ_XVFB_PID:-}" ]; then
    kill "$QZ_XVFB_PID" >/dev/null 2>&1 || true
    QZ_XVFB_PID=
  fi
}
