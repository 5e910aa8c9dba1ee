#!/usr/bin/env bash
# Sets up, builds and starts Velmora on the demo network. Without a display it
# runs under Xvfb, scans a demo file and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only the program and nwsim, in a folder of their own so that build/ stays
# as the test command configures it. Precompiled Qt headers and light
# optimisation halve a first build; the tests are not configured.
dir=build-demo
VELMORA_BUILD_DIR=$dir VELMORA_TARGETS="velmora nwsim" scripts/build.sh \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
  -DBUILD_TESTING=OFF -DVELMORA_PRECOMPILE_HEADERS=ON

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$dir/src/velmora" "$@"
fi

shot=${VELMORA_SCREENSHOT:-$PWD/$dir/velmora-demo.png}
# Headless, show the main job: scan a demo file that several users have open.
[ $# -gt 0 ] || set -- 'F:\APPS\DATA\ORDERS.DBF'
echo "No display: starting Velmora under Xvfb and saving a screenshot to $shot"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  openbox >/dev/null 2>&1 &
  sleep 1
  "$0" "$@" &
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
' "$dir/src/velmora" "$@"
echo "Screenshot: $shot"
