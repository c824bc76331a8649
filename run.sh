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

. tools/xvfb.sh
app_pid=
stop_all() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
  fi
  parar_xvfb
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if ! iniciar_xvfb 20 250; then
  echo "run.sh: no display, and no free display number for Xvfb" >&2
  exit 1
fi
echo "run.sh: no display; started a virtual X server (Xvfb) on $XVFB_DISPLAY" >&2
echo "run.sh: the windows are drawn there (DISPLAY=$XVFB_DISPLAY); it stops when qadelia ends" >&2
export DISPLAY=$XVFB_DISPLAY
unset QT_QPA_PLATFORM
# In the background, so that a signal to this script reaches its trap at
# once and ends qadelia and the X server with it.
"$build/bin/qadelia" "$@" &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=
exit "$status"
