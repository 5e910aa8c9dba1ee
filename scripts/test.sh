#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: in build/, again under
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (any report
# fails), then a bounded libFuzzer run (scripts/fuzz.sh). All incremental.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
scripts/check-format.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure --timeout 600 -j "$(nproc)")

VELMORA_BUILD_DIR=build-asan scripts/build.sh -DVELMORA_SANITIZE=ON
(
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  cd build-asan && ctest --output-on-failure --timeout 900 -j "$(nproc)"
)

scripts/fuzz.sh
