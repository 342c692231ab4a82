#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing.
# Non-interactive; needs root (or sudo) only when something must be installed.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  googletest libgtest-dev
  clang libclang-rt-14-dev
  zlib1g-dev libssl-dev libpng-dev libsdl2-dev libepoxy-dev libexpat1-dev libfreetype-dev
  libmpg123-dev lame libmp3lame-dev
  fonts-dejavu-core fonts-ebgaramond fonts-liberation2 libjpeg-dev
  xvfb xauth libgl1-mesa-dri libx11-dev libxtst-dev
  xfonts-base
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "error: need root (or sudo) to install ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
