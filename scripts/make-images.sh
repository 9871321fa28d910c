#!/usr/bin/env bash
# Draws the splash picture (a 24-bit bitmap of 203 x 206) and the desktop
# icons with ImageMagick. The results are committed; run this only to redraw.
# The scalable icon, desktop/norvane.svg, is written by hand after the 64 x 64
# one below; the 48 x 48 icon is drawn from it.
set -euo pipefail
cd "$(dirname "$0")/../ui"
font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
convert -size 203x206 gradient:'#0b2a5b'-'#3f8fd2' \
  -fill '#0d3b66' -draw 'rectangle 0,150 203,206' \
  -fill '#1d5c8f' -draw 'line 0,160 203,158' -draw 'line 0,174 203,171' -draw 'line 0,190 203,187' \
  -fill '#f2e9d8' -draw 'polygon 88,150 115,150 109,62 94,62' \
  -fill '#c0392b' -draw 'polygon 92,98 111,98 110,86 93,86' -draw 'polygon 90,126 113,126 112,114 91,114' \
  -fill '#2c3e50' -draw 'rectangle 91,50 112,62' \
  -fill '#ffe27a' -draw 'rectangle 95,53 108,60' \
  -fill 'rgba(255,226,122,0.35)' -draw 'polygon 108,56 203,36 203,76' -draw 'polygon 95,56 0,40 0,72' \
  -fill white -font "$font" -pointsize 24 -annotate +16+30 'Norvane' \
  -fill '#dbe9f7' -pointsize 12 -annotate +18+196 'グローバル検索' \
  -type TrueColor BMP3:images/opening.bmp
convert -size 64x64 xc:'#3f8fd2' \
  -fill '#0d3b66' -draw 'rectangle 0,46 64,64' \
  -fill '#f2e9d8' -draw 'polygon 24,48 40,48 37,18 27,18' \
  -fill '#c0392b' -draw 'polygon 26,32 38,32 37,26 27,26' \
  -fill '#ffe27a' -draw 'rectangle 27,11 37,18' \
  desktop/norvane.png
# Drawn large and scaled down, so that edges come out as coverage rather than
# as the renderer's rounding; no time stamp, so a redraw gives the same bytes.
convert -density 576 -background none desktop/norvane.svg -filter box -resize 48x48 -depth 8 -strip \
  desktop/norvane-48.png
