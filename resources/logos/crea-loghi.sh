#!/bin/sh
# Draws the two logos (splash 280x265, about 150x142) with ImageMagick; the .jpg files are kept in the repository.
set -eu
cd "$(dirname "$0")"
IM=/usr/bin/convert
BOLD=/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf
SANS=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# A twin-bell alarm clock drawn on a 280x265 canvas, then scaled for the smaller logo.
# $1: output, $2: big title, $3: small line under it
disegna() {
    $IM -size 280x265 gradient:'#1d4fa8'-'#7fb2f0' \
        -stroke '#202020' -strokewidth 4 -fill '#d8a21c' \
        -draw "circle 78,48 100,30" -draw "circle 202,48 180,30" \
        -strokewidth 5 -draw "line 88,178 70,200" -draw "line 192,178 210,200" \
        -fill '#c0262c' -strokewidth 4 -draw "circle 140,112 140,32" \
        -fill '#fffdf2' -strokewidth 3 -draw "circle 140,112 140,44" \
        -stroke '#303030' -strokewidth 4 \
        -draw "line 140,50 140,60" -draw "line 140,164 140,174" \
        -draw "line 78,112 88,112" -draw "line 192,112 202,112" \
        -strokewidth 6 -draw "line 140,112 108,94" \
        -strokewidth 4 -draw "line 140,112 140,62" \
        -stroke '#c0262c' -strokewidth 2 -draw "line 140,112 176,134" \
        -stroke none -fill '#303030' -draw "circle 140,112 140,118" \
        -font "$BOLD" -pointsize 44 -fill white -stroke '#102a5c' -strokewidth 2 \
        -gravity south -annotate +0+22 "$2" \
        -font "$SANS" -pointsize 13 -stroke none -fill '#fff3b0' -annotate +0+6 "$3" \
        "$1"
}

disegna /tmp/trillora-logo-grande.png "Trillora" "La sveglia per il pc!"
$IM /tmp/trillora-logo-grande.png -quality 90 -sampling-factor 2x2 splash.jpg
disegna /tmp/trillora-logo-piccolo.png "Trillora" "TQZ_Trillora"
$IM /tmp/trillora-logo-piccolo.png -resize 150x142! -quality 92 about.jpg
rm -f /tmp/trillora-logo-grande.png /tmp/trillora-logo-piccolo.png
