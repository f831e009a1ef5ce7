#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs each for the given number of seconds (default 60) over a working copy of its seed
# corpus. Usage: tools/fuzz.sh [seconds] [target ...]   (targets by short name, e.g. record)
# Inputs that crash are left in build/fuzz/findings/<target>/; copy each into
# tests/fuzz/regressions/<target>/ once its cause is fixed. FUZZ_TIMEOUT (default 10) is the
# seconds one input may take before it counts as a hang: the target that plays the game needs
# more on a busy machine. The seed corpora are written by
# tools/tool_fuzz_seeds.cpp: build it and run `tool_fuzz_seeds tests/fuzz/corpus`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
if ! command -v clang++ >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq clang libclang-rt-14-dev
fi
seconds=${1:-60}
shift || true

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTW_FUZZ=ON -DTW_BUILD_BENCH=OFF
cmake --build build/fuzz -j 3 --target $(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(cd tests/fuzz && ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$//'))
fi

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# No display: a reader's message box must never wait for a click.
unset DISPLAY WAYLAND_DISPLAY
root=$(pwd)
mkdir -p build/fuzz/logs
# Each target works in a temporary folder of its own: every path it is given is absolute.
run_target() {
  local t=$1
  local work=$root/build/fuzz/work/$t
  mkdir -p "$work/corpus" "$root/build/fuzz/findings/$t"
  cp -n "$root"/tests/fuzz/corpus/$t/* "$work/corpus/" 2>/dev/null || true
  "$root/build/fuzz/tests/fuzz/fuzz_$t" "$work/corpus" -max_total_time="$seconds" \
    -rss_limit_mb=2048 -timeout="${FUZZ_TIMEOUT:-10}" -artifact_prefix="$root/build/fuzz/findings/$t/" \
    -print_final_stats=1 >"$root/build/fuzz/logs/$t.log" 2>&1 || true
  echo "== $t: ${seconds}s"
  tail -n 12 "$root/build/fuzz/logs/$t.log"
}
# FUZZ_JOBS targets at once (default 1); each uses one core.
jobs=${FUZZ_JOBS:-1}
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$t" &
done
wait
