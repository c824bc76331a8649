#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the host program,
# from which the form module is started. Without a display a private
# virtual X server is started for it, and stopped when the host ends.
#   KV_BUILD_DIR  the build folder (default: build)
set -eu
cd "$(dirname "$0")"
build=${KV_BUILD_DIR:-build}
tools/install-deps.sh
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/qadelia" "$@"
fi

xvfb_pid=
app_pid=
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  fi
}
stop_all() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
  fi
  stop_xvfb
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

for n in $(seq 20 250); do
  { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 50); do
    [ -e /tmp/.X11-unix/X$n ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e /tmp/.X11-unix/X$n ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "run.sh: no display; started a virtual X server (Xvfb) on :$n" >&2
    echo "run.sh: the windows are drawn there (DISPLAY=:$n); it stops when qadelia ends" >&2
    export DISPLAY=:$n
    unset QT_QPA_PLATFORM
    # In the background, so that a signal to this script reaches its trap
    # at once and ends qadelia and the X server with it.
    "$build/bin/qadelia" "$@" &
    app_pid=$!
    status=0
    wait "$app_pid" || status=$?
    app_pid=
    exit "$status"
  fi
  stop_xvfb
done
echo "run.sh: no display, and no free display number for Xvfb" >&2
exit 1
