#!/usr/bin/env bash
# Measures the player on the title with nothing pressed: its CPU time over a span of seconds
# (utime + stime from /proc, so a busy machine does not change the figure much), the time from
# its start to the first frame and the frames made against the frames shown (both from the
# report log). Run it under a display, e.g.
#   xvfb-run -a -s "-screen 0 1024x768x24" tools/measure_player.sh GAME_FOLDER [SECONDS] [PLAYER]
# The game folder must already hold data/ (copy default/ to data/ once).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
game="${1:?usage: measure_player.sh GAME_FOLDER [SECONDS] [PLAYER]}"
span="${2:-20}"
player="${3:-$root/build/release/shell/tarnwick}"
settle=3
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
# A lock folder of its own: a player someone else runs must not make this one ask.
export XDG_RUNTIME_DIR="$(mktemp -d)"
cd "$game"
rm -f Report_Game.txt
"$player" &
pid=$!
trap 'kill -TERM $pid 2>/dev/null || true' EXIT
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
per_thread() {
  for t in /proc/$pid/task/*; do
    # comm may hold spaces: take the fields after the closing bracket.
    awk -v id="${t##*/}" '{ s = $0; sub(/^.*\) /, "", s); split(s, f, " ");
      c = $0; sub(/^[^(]*\(/, "", c); sub(/\).*$/, "", c); print id, c, f[12] + f[13] }' "$t/stat"
  done 2>/dev/null | sort -n
}
sleep "$settle"
hz=$(getconf CLK_TCK)
before=$(ticks)
threads_before="$(per_thread)"
sleep "$span"
after=$(ticks)
threads_after="$(per_thread)"
kill -TERM $pid
wait $pid || true
trap - EXIT
echo "cpu: $(awk -v d=$((after - before)) -v hz=$hz -v s=$span 'BEGIN { printf "%.1f", 100 * d / (hz * s) }') % of one core over $span s"
join <(echo "$threads_before" | awk '{print $1, $3}') <(echo "$threads_after" | awk '{print $1, $2, $3}') |
  awk -v hz=$hz -v s=$span '{ printf "  thread %-16s %5.1f %%\n", $3, 100 * ($4 - $2) / (hz * s) }'
grep -a -E "start-up:|frames " Report_Game.txt | iconv -f cp932 -t utf-8 2>/dev/null || true
