#!/usr/bin/env bash
# Runs one test program under a private virtual X server, so that tests that
# need real top-level windows (titles, visibility, a window manager's list)
# never touch the user's own display.
set -u
for n in $(seq 90 250); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xpid=$!
  for _ in $(seq 1 50); do
    [ -e /tmp/.X11-unix/X$n ] && break
    kill -0 $xpid 2>/dev/null || break
    sleep 0.1
  done
  if [ -e /tmp/.X11-unix/X$n ] && kill -0 $xpid 2>/dev/null; then
    DISPLAY=:$n QT_QPA_PLATFORM=xcb "$@"
    rc=$?
    kill $xpid 2>/dev/null; wait $xpid 2>/dev/null
    exit $rc
  fi
  kill $xpid 2>/dev/null; wait $xpid 2>/dev/null
done
echo "xvfb-run.sh: no free display for Xvfb" >&2
exit 1
