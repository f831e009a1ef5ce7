#!/usr/bin/env bash
# Builds everything and runs every test: once in an optimised build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer. JOBS=N limits the builds and the test runs
# to N jobs at once (all processors by default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

jobs=${JOBS:-$(nproc)}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
  # Window and dialog tests need a display: run the suite under a virtual one.
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
}

run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=ON -DTW_BUILD_BENCH=OFF
