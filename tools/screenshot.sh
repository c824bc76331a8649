#!/usr/bin/env bash
# Takes a picture of the host window with the form module started from it,
# on a private virtual X server, with a fresh installation in a temporary
# folder (the user's own KV000.INI and data are never touched).
#   tools/screenshot.sh OUT.png        (build folder: build, or $KV_BUILD_DIR)
set -u
out=${1:?usage: tools/screenshot.sh OUT.png}
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${KV_BUILD_DIR:-$root/build}/bin
case "$out" in /*) ;; *) out=$PWD/$out ;; esac

for p in qadelia captura-pantalla; do
  [ -x "$bin/$p" ] || { echo "screenshot.sh: $bin/$p is missing; build first" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "screenshot.sh: Xvfb is not installed (tools/install-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid= host_pid= module_pid=
cleanup() {
  for pid in $module_pid $host_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

. "$root/tools/xvfb.sh"
iniciar_xvfb 300 400 1280x800x24 || { echo "screenshot.sh: no free display for Xvfb" >&2; exit 1; }
xvfb_pid=$XVFB_PID n=${XVFB_DISPLAY#:}

export DISPLAY=:$n QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# A window titled exactly Qadelia, or the given title, among the top-level windows.
has_window() { xwininfo -root -tree 2>/dev/null | grep -q "\"$1\""; }
wait_window() {
  for _ in $(seq 1 ${2:-100}); do has_window "$1" && return 0; sleep 0.2; done
  return 1
}

# With no window manager the host goes to the right, so that the module's
# window (placed at the top left) leaves it in view.
"$bin/qadelia" -geometry 620x440+650+20 >"$work/qadelia.log" 2>&1 &
host_pid=$!
if ! wait_window Qadelia; then
  echo "screenshot.sh: no window titled Qadelia appeared; its output:" >&2
  cat "$work/qadelia.log" >&2
  exit 1
fi

if [ -x "$bin/kv517" ]; then
  before=$(xwininfo -root -children 2>/dev/null | grep -c '^ *0x')
  "$bin/kv517" >"$work/kv517.log" 2>&1 &
  module_pid=$!
  # The module is up when a new top-level window appears (or it ended).
  for _ in $(seq 1 100); do
    now=$(xwininfo -root -children 2>/dev/null | grep -c '^ *0x')
    [ "$now" -gt "$before" ] && break
    kill -0 "$module_pid" 2>/dev/null || break
    sleep 0.2
  done
  sleep 1.5
  if ! kill -0 "$module_pid" 2>/dev/null; then
    echo "screenshot.sh: kv517 ended before the picture; its output:" >&2
    cat "$work/kv517.log" >&2
    module_pid=
  fi
else
  echo "screenshot.sh: $bin/kv517 is not built; the picture shows the host alone" >&2
  sleep 1
fi

"$bin/captura-pantalla" "$out" || exit 1
echo "screenshot.sh: $out"
echo "screenshot.sh: top-level windows:" >&2
xwininfo -root -tree 2>/dev/null | grep -E '^ {5}0x[0-9a-f]+ "[^"]+"' >&2
