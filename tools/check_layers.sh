#!/usr/bin/env bash
# Fails when a file of the program includes a header of a folder above its own. The folders,
# bottom up: platform, foundation, media, content, project, then objects, flows and play (one
# library), then shell. tests/, tools/ and bench/ may include anything.
# Usage: tools/check_layers.sh [root]   (default: the repository this script lies in)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"
folders=()
for folder in platform foundation media content project objects flows play shell; do
  [ -d "$folder" ] && folders+=("$folder")
done
{ grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' \
       --include='*.h' --include='*.cpp' "${folders[@]}" || true; } |
  awk '
    BEGIN {
      rank["platform"] = 0; rank["foundation"] = 1; rank["media"] = 2; rank["content"] = 3
      rank["project"] = 4; rank["objects"] = 5; rank["flows"] = 5; rank["play"] = 5
      rank["shell"] = 6
      found = 0
    }
    {
      split($0, parts, ":")
      file = parts[1]; line = parts[2]
      split(file, path, "/")
      own = path[1]
      text = $0
      sub(/^[^"]*"/, "", text)
      split(text, target, "/")
      included = target[1]
      if ((included in rank) && rank[included] > rank[own]) {
        printf "%s:%s: includes a header of %s/, a folder above %s/\n", file, line, included, own
        found = 1
      }
    }
    END {
      if (found) {
        print "Each folder may include only its own headers and those of the folders below it."
        exit 1
      }
      print "Layering holds."
    }'
