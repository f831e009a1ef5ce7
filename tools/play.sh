#!/usr/bin/env bash
# Builds the player and starts it in the game folder given. Without a folder it also writes
# the sample game into build/sample and starts the player there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build/release" -j "$(nproc)"
if [[ $# -eq 0 ]]; then
  game="$root/build/sample"
  "$root/build/release/tools/tool_make_sample" "$game"
  # The player makes data/ from default/ when data/ is missing: drop the copy of an older
  # sample so that the one just written is played. The player's own files (user_data/) stay.
  rm -rf "$game/data"
else
  game="$1"
  mkdir -p "$game"
fi
cd "$game"
exec "$root/build/release/shell/tarnwick" "${@:2}"
