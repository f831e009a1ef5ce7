#!/usr/bin/env bash
# Builds the player and starts it in the game folder given. Without a folder it also writes
# the sample game into build/sample and starts the player there.
# Usage: tools/play.sh [GAME_FOLDER [player arguments...]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [[ $# -gt 0 && ! -d "$1" ]]; then
  echo "play.sh: no game folder at '$1' (give the folder that holds the game's default/ or data/)" >&2
  exit 1
fi
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [[ $# -eq 0 ]]; then
  # Only what playing needs: the player and the sample game's generator.
  cmake --build "$root/build/release" -j "$(nproc)" --target tarnwick tool_make_sample
  game="$root/build/sample"
  "$root/build/release/tools/tool_make_sample" "$game"
  # A data/ left by an earlier run would hide the sample just written: drop it. The player's
  # own files (user_data/) stay.
  rm -rf "$game/data"
else
  cmake --build "$root/build/release" -j "$(nproc)" --target tarnwick
  game="$1"
fi
cd "$game"
exec "$root/build/release/shell/tarnwick" "${@:2}"
