#!/bin/sh
# Draws the launcher icon (a sphere of glowing rings inside a ring of dots) with ImageMagick.
# Run from anywhere; writes kusolvanta-256.png and kusolvanta-48.png beside this script.
set -eu
cd "$(dirname "$0")"
rings=""
for y in -84 -60 -36 -12 12 36 60 84; do
    # Rings of a sphere of radius 90: each circle's radius from its height, seen slightly from above.
    r=$(awk -v y="$y" 'BEGIN { printf "%d", sqrt(90 * 90 - y * y) }')
    rings="$rings ellipse 128,$((128 + y)) $r,$((r / 4)) 0,360"
done
dots=""
for i in 0 1 2 3 4 5 6 7 8 9 10 11; do
    xy=$(awk -v i="$i" 'BEGIN { a = i * 3.14159265 / 6; printf "%d,%d", 128 + 106 * cos(a), 128 + 106 * sin(a) }')
    dots="$dots circle $xy $(echo "$xy" | awk -F, '{ print $1 + 8 "," $2 }')"
done
convert -size 256x256 xc:none \
    -fill '#08040a' -draw 'roundrectangle 4,4 251,251 40,40' \
    \( -size 256x256 xc:none -fill none -stroke '#ff5a3c' -strokewidth 7 -draw "$rings" -blur 0x6 \) -composite \
    \( -size 256x256 xc:none -fill none -stroke '#ffb08a' -strokewidth 3 -draw "$rings" \) -composite \
    \( -size 256x256 xc:none -fill '#ffe6b0' -stroke none -draw "$dots" -blur 0x3 \) -composite \
    \( -size 256x256 xc:none -fill '#fff4dc' -stroke none -draw "$dots" \) -composite \
    \( -size 256x256 xc:none -fill white -draw 'roundrectangle 4,4 251,251 40,40' \) -compose DstIn -composite \
    -strip PNG32:kusolvanta-256.png
convert kusolvanta-256.png -resize 48x48 -strip PNG32:kusolvanta-48.png
