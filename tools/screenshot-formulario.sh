#!/usr/bin/env bash
# Pictures of the declaration window on a private virtual X server: the
# three tabs of a saved declaration of 40 flights, a new declaration and a
# sent one, the debt tab with the longest amount in box 410, then the
# month's picture and the consistency report of a month with a warned
# flight, from a throw-away database (nothing of the user's is touched);
# then the same with the screen at 150 %, in OUTDIR/150.
#   tools/screenshot-formulario.sh OUTDIR   (build folder: build, or $KV_BUILD_DIR)
set -u
out=${1:?usage: tools/screenshot-formulario.sh OUTDIR}
root=$(cd "$(dirname "$0")/.." && pwd)
prog=${KV_BUILD_DIR:-$root/build}/tests/captura_formulario
case "$out" in /*) ;; *) out=$PWD/$out ;; esac
[ -x "$prog" ] || { echo "screenshot-formulario.sh: $prog is missing; build first" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "screenshot-formulario.sh: Xvfb is not installed (tools/install-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'parar_xvfb; rm -rf "$work"' EXIT
. "$root/tools/xvfb.sh"
iniciar_xvfb 300 400 1280x800x24 || { echo "screenshot-formulario.sh: no free display for Xvfb" >&2; exit 1; }

mkdir -p "$out" "$work/run"
chmod 700 "$work/run"
DISPLAY=$XVFB_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/run "$prog" "$out" || status=1
DISPLAY=$XVFB_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/run QT_SCALE_FACTOR=1.5 "$prog" "$out/150" || status=1
exit ${status:-0}
