# Sourced by the scripts that need a private virtual X server.
#   iniciar_xvfb FIRST LAST [GEOMETRY]
# starts Xvfb on the first free display number from FIRST to LAST and sets
# XVFB_PID and XVFB_DISPLAY (":N"); returns 1 when none could be started.
#   parar_xvfb  stops it.
iniciar_xvfb() {
  local n pid
  XVFB_PID= XVFB_DISPLAY=
  for n in $(seq "$1" "$2"); do
    { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
    Xvfb :$n -screen 0 "${3:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 50); do
      [ -e /tmp/.X11-unix/X$n ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e /tmp/.X11-unix/X$n ] && kill -0 "$pid" 2>/dev/null; then
      XVFB_PID=$pid XVFB_DISPLAY=:$n
      return 0
    fi
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  done
  return 1
}

parar_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
