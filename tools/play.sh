#!/usr/bin/env bash
# Builds the player and starts it in the game folder given (default: the current folder).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build/release" -j "$(nproc)"
game="${1:-$root/build/sample}"
mkdir -p "$game"
cd "$game"
exec "$root/build/release/shell/tarnwick" "${@:2}"
