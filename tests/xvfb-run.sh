#!/usr/bin/env bash
# Runs one test program under a private virtual X server, so that tests that
# need real top-level windows (titles, visibility, a window manager's list)
# never touch the user's own display.
set -u
. "$(dirname "$0")/../tools/xvfb.sh"
iniciar_xvfb 90 250 || { echo "xvfb-run.sh: no free display for Xvfb" >&2; exit 1; }
DISPLAY=$XVFB_DISPLAY QT_QPA_PLATFORM=xcb "$@"
rc=$?
parar_xvfb
exit $rc
