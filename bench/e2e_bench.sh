#!/usr/bin/env bash
# End to end: `velmora 'F:\APPS\ORDERS.DBF'` on a generated network, from the
# exec to the count label painted with the count, offscreen.
#
#   bench/e2e_bench.sh [ENTRIES] [RUNS]      (defaults 50000 and 3)
#
# Runs build/bench/velmora_e2e, which builds the window exactly as velmora's
# main() does and ends the process at the first paint of the count (see
# velmora_e2e.cpp). Reports per run the wall time from just before the exec,
# the process CPU time and the peak resident size at that moment, and the
# description load (NWCallsInit alone) in a process of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
entries=${1:-50000}
runs=${2:-3}
exe=${VELMORA_BUILD_DIR:-build}/bench/velmora_e2e
[ -x "$exe" ] || { echo "build first: scripts/build.sh" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A fresh home: no stored folder, pattern or history, nothing of the user's touched.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
export QT_QPA_PLATFORM=offscreen
NWSIM_NETWORK=$("$exe" --write "$work/net" "$entries")
export NWSIM_NETWORK
echo "$entries entries, description $(du -k "$NWSIM_NETWORK" | cut -f1) kB, load $(uptime | sed 's/.*load average: //')"

for i in $(seq "$runs"); do
  "$exe" --load
done
for i in $(seq "$runs"); do
  start=$(date +%s%N)
  out=$("$exe" 'F:\APPS\ORDERS.DBF')
  shown=$(sed -n 's/^shown \([0-9.]*\) ms.*/\1/p' <<<"$out")
  awk -v s="$start" -v e="$shown" -v cpu="$(sed -n 's/^cpu \(.*\) ms/\1/p' <<<"$out")" \
      -v rss="$(sed -n 's/^rss \(.*\) kB/\1/p' <<<"$out")" \
      -v count="$(sed -n 's/^count //p' <<<"$out")" \
      'BEGIN { printf "to the count on screen: %.0f ms wall, %.0f ms cpu, peak RSS %.0f MB (%s)\n", e - s / 1e6, cpu, rss / 1024, count }'
done
