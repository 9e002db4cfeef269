# Sourced by scripts/test and scripts/demo: one private Wine session per run.
#   wine_session_start DIR   creates a Wine prefix under DIR, starts a private
#                            Xvfb display and a wineserver for it, and exports
#                            WINEPREFIX, DISPLAY and the locale for the tests
#   wine_session_stop        ends the wineserver and Xvfb it started, by pid
# TALLOWICK_LOCALE chooses the Linux locale Wine runs under (its ANSI code page
# follows it); the default zh_CN.UTF-8 gives code page 936.

WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

wine_session_start() {
  local dir=$1
  mkdir -p "$dir"
  WINE_SESSION_DIR=$(cd "$dir" && pwd)
  rm -rf "$WINE_SESSION_DIR/prefix"
  export WINEPREFIX="$WINE_SESSION_DIR/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG="${TALLOWICK_LOCALE:-zh_CN.UTF-8}" LC_ALL="${TALLOWICK_LOCALE:-zh_CN.UTF-8}"
  export TALLOWICK_WINE_SESSION=1

  # A display number Xvfb picks itself, so parallel runs never collide.
  rm -f "$WINE_SESSION_DIR/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WINE_SESSION_DIR/display" \
    >"$WINE_SESSION_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local tries=0
  while [[ ! -s "$WINE_SESSION_DIR/display" ]]; do
    sleep 0.1
    tries=$((tries + 1))
    if ((tries > 100)) || ! kill -0 "$XVFB_PID" 2>/dev/null; then
      echo "wine-session: Xvfb did not start" >&2
      return 1
    fi
  done
  export DISPLAY=":$(head -n1 "$WINE_SESSION_DIR/display")"

  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -f -p >"$WINE_SESSION_DIR/wineserver.log" 2>&1 &
  WINESERVER_PID=$!
  "$WINE64" wineboot -i >"$WINE_SESSION_DIR/wineboot.log" 2>&1 || true
}

# The pids of processes that run in our prefix (Wine's own services started by
# wineboot, and anything a test left behind): found by the WINEPREFIX in their
# environment, so nothing outside this session is ever touched.
wine_session_pids() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [[ $pid == "$$" || $pid == "$BASHPID" ]] && continue
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
    fi
  done
}

wine_session_stop() {
  if [[ -n "${WINESERVER_PID:-}" ]]; then
    # Ask our own server (this prefix's, and only it) to end its processes.
    "$WINESERVER" -k 2>/dev/null || true
    # A persistent server has been seen to outlive -k now and then: give it
    # five seconds, then end it by its pid.
    local tries=0
    while kill -0 "$WINESERVER_PID" 2>/dev/null && ((tries < 50)); do
      sleep 0.1
      tries=$((tries + 1))
    done
    kill "$WINESERVER_PID" 2>/dev/null || true
    wait "$WINESERVER_PID" 2>/dev/null || true
    WINESERVER_PID=
    local pid
    for pid in $(wine_session_pids); do kill -9 "$pid" 2>/dev/null || true; done
  fi
  if [[ -n "${XVFB_PID:-}" ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
