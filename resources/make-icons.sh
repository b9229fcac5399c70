#!/usr/bin/env bash
# Renders the program icon (resources/icons/lumetra.svg) to the PNG sizes of
# the hicolor theme and to the icon compiled into the program. Run again only
# after changing the SVG (needs rsvg-convert, Debian librsvg2-bin); the PNGs
# are kept in the repository so building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" lumetra.svg -o "hicolor/${size}x${size}/lumetra.png"
done
cp hicolor/64x64/lumetra.png lumetra.png
