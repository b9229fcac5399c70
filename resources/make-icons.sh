#!/usr/bin/env bash
# Draws the program icon (resources/icons/lumetra.png) with ImageMagick: two
# level bars in green, yellow and red beside a cyan stereo trace on black.
# Run again only to change the icon; the PNG is kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/icons"
convert -size 64x64 xc:black \
  -fill '#00c000' -draw 'rectangle 6,24 15,58' -draw 'rectangle 19,32 28,58' \
  -fill '#ffff00' -draw 'rectangle 6,14 15,23' -draw 'rectangle 19,22 28,31' \
  -fill '#ff0000' -draw 'rectangle 6,8 15,13' \
  -stroke '#808080' -draw 'line 34,8 60,58' -draw 'line 34,58 60,8' \
  -stroke '#00ffff' -fill none -draw 'ellipse 47,33 6,22 0,360' \
  -stroke '#c0c0ff' -fill none -draw 'rectangle 1,1 62,62' \
  -depth 8 PNG24:lumetra.png
