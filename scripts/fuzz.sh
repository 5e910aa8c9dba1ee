#!/usr/bin/env bash
# Builds the libFuzzer targets with clang++ into build-fuzz/ (incrementally)
# and runs each for a bounded time from the seed corpora. A crash, leak or
# sanitizer report fails the run; the input is kept in build-fuzz/crashes/.
# FUZZ_SECONDS sets the time per target (default 25).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  CXX=clang++ cmake -S fuzz -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$dir" --parallel "$(nproc)"

seconds=${FUZZ_SECONDS:-25}
mkdir -p "$dir/crashes"
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen

run() { # target dict seeds...
  local target=$1 dict=$2
  shift 2
  # A fresh corpus each time, so a fixed seed gives a repeatable run.
  local corpus="$dir/corpus/$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  local i=0 seed
  for seed in "$@"; do cp "$seed" "$corpus/seed-$((i++))-$(basename "$seed")"; done
  local args=(-seed=1 -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10
              -max_len=8192 -print_final_stats=1 -artifact_prefix="$dir/crashes/$target-")
  [ -n "$dict" ] && args+=(-dict="$dict")
  echo "fuzz: $target for ${seconds}s"
  if ! "$dir/$target" "${args[@]}" "$corpus" >"$dir/$target.log" 2>&1; then
    tail -n 60 "$dir/$target.log"
    echo "fuzz: $target FAILED; the input is in $dir/crashes/" >&2
    return 1
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$dir/$target.log" | sed "s/^/fuzz: $target /"
}

shopt -s globstar nullglob
run fuzz_description fuzz/description.dict demo/network.json tests/data/**/*.json
run fuzz_paths "" fuzz/seeds/paths/*
