#!/usr/bin/env bash
# Builds the player and starts it in the game folder given. Without a folder it also writes
# the sample game into build/sample and starts the player there.
# Usage: tools/play.sh [GAME_FOLDER [player arguments...]]
# JOBS=N limits the build to N jobs at once (all processors by default).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs=${JOBS:-$(nproc)}
if [[ $# -gt 0 && ! -d "$1" ]]; then
  echo "play.sh: no game folder at '$1' (give the folder that holds the game's default/ or data/)" >&2
  exit 1
fi
bash "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [[ $# -eq 0 ]]; then
  # Only what playing needs: the player and the sample game's generator.
  cmake --build "$root/build/release" -j "$jobs" --target tarnwick tool_make_sample
  game="$root/build/sample"
  "$root/build/release/tools/tool_make_sample" "$game"
  # The player makes data/ from default/ on its first start. A data/ made from other bytes
  # than the sample just written would hide it: it goes when default/ changed, which a sum of
  # its files kept beside it tells. The player's own files (user_data/) always stay.
  sum=$(cd "$game" && find default -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum |
    sha256sum | cut -d' ' -f1)
  stamp="$game/data.sum"
  if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$sum" ]]; then
    rm -rf "$game/data"
    printf '%s\n' "$sum" >"$stamp"
  fi
else
  cmake --build "$root/build/release" -j "$jobs" --target tarnwick
  game="$1"
fi
cd "$game"
exec "$root/build/release/shell/tarnwick" "${@:2}"
