#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libgtk-3-dev libfreetype-dev libfontconfig-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libvorbis-dev libfluidsynth-dev timgm6mb-soundfont
  libboost-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  libsleef-dev
  xvfb xauth abcmidi
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
