#!/usr/bin/env bash
# Sourced by the run and test scripts: when there is no X display, starts a
# private Xvfb server, exports DISPLAY and stops the server on exit.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 71 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  GLEANER_XVFB_PID=$!
  export DISPLAY=":$n"
  trap 'kill $GLEANER_XVFB_PID 2>/dev/null' EXIT
  for _ in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
fi
