#!/usr/bin/env bash
# Renders dist/icons/velmora.svg into the hicolor PNG sizes committed beside it.
# Run after changing the SVG; needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" velmora.svg -o "hicolor/${size}x${size}/velmora.png"
done
