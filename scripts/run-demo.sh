#!/usr/bin/env bash
# Sets up, builds and starts Velmora on the demo network. Without a display it
# runs under Xvfb, scans a demo file and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only the program and nwsim: the tests build later, into the same folder.
VELMORA_TARGETS="velmora nwsim" scripts/build.sh

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/velmora "$@"
fi

shot=${VELMORA_SCREENSHOT:-$PWD/build/velmora-demo.png}
# Headless, show the main job: scan a demo file that several users have open.
[ $# -gt 0 ] || set -- 'F:\APPS\DATA\ORDERS.DBF'
echo "No display: starting Velmora under Xvfb and saving a screenshot to $shot"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  openbox >/dev/null 2>&1 &
  sleep 1
  build/src/velmora "$@" &
  pid=$!
  for i in $(seq 1 50); do
    xdotool search --name "^Velmora$" >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 2
  import -window root "'"$shot"'"
  xdotool search --name "^Velmora$" key Escape >/dev/null 2>&1 || true
  sleep 1
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
' _ "$@"
echo "Screenshot: $shot"
