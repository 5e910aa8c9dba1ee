#!/usr/bin/env bash
# Installs the Debian packages Velmora needs, when missing: to build and run
# it, and with --test also what the test command uses (end-to-end and
# package checks, the sanitizer and fuzz builds, the format check).
#   scripts/setup.sh [--test]
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  xvfb xauth xdotool openbox imagemagick
  fonts-dejavu-core fonts-urw-base35
)
if [ "${1:-}" = "--test" ]; then
  packages+=(
    x11-utils xclip jq poppler-utils trayer
    clang libclang-rt-14-dev clang-format
    dpkg-dev file desktop-file-utils appstream
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
