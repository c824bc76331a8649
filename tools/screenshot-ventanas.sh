#!/usr/bin/env bash
# Pictures of the windows a new user reads most, on a private virtual X
# server: the preview of a 74-page print-out as wide as the window on its
# second page, the flight import window on a folder without the
# declaration's file, and the host's report register, from a throw-away
# database (nothing of the user's is touched).
#   tools/screenshot-ventanas.sh OUTDIR   (build folder: build, or $KV_BUILD_DIR)
set -u
out=${1:?usage: tools/screenshot-ventanas.sh OUTDIR}
root=$(cd "$(dirname "$0")/.." && pwd)
prog=${KV_BUILD_DIR:-$root/build}/tests/captura_ventanas
case "$out" in /*) ;; *) out=$PWD/$out ;; esac
[ -x "$prog" ] || { echo "screenshot-ventanas.sh: $prog is missing; build first" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "screenshot-ventanas.sh: Xvfb is not installed (tools/install-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'parar_xvfb; rm -rf "$work"' EXIT
. "$root/tools/xvfb.sh"
iniciar_xvfb 300 400 1280x800x24 || { echo "screenshot-ventanas.sh: no free display for Xvfb" >&2; exit 1; }

mkdir -p "$out" "$work/run"
chmod 700 "$work/run"
DISPLAY=$XVFB_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/run "$prog" "$out"
