#!/usr/bin/env bash
# Configures (once) and builds into build/ incrementally. Extra arguments go to CMake.
# VELMORA_TARGETS="velmora nwsim" builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${VELMORA_BUILD_DIR:-build}
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON "$@"
fi
# shellcheck disable=SC2086 # a list of target names
cmake --build "$dir" --parallel "$(nproc)" ${VELMORA_TARGETS:+--target $VELMORA_TARGETS}
