#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test KW-27.
# Idempotent: does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  dpkg-dev desktop-file-utils
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libopenal-dev libopenal1 libxcb1-dev libsamplerate0-dev libsamplerate0
  libgtest-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fontconfig
  xdg-utils xvfb xauth xdotool pulseaudio pulseaudio-utils
  clang libclang-rt-14-dev
  sox poppler-utils imagemagick librsvg2-bin
  fuse3 bindfs fusefat dosfstools
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
