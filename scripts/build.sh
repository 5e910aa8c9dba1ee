#!/usr/bin/env bash
# Configures (once) and builds into build/ incrementally. Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${VELMORA_BUILD_DIR:-build}
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON "$@"
fi
cmake --build "$dir" --parallel "$(nproc)"
