#!/usr/bin/env bash
# Draws every picture of the resource bundle with ImageMagick, so they can be remade or restyled.
# The output is committed: building the program needs no image tools.
set -euo pipefail
cd "$(dirname "$0")/../resources"
font=/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf
bold=/usr/share/fonts/truetype/noto/NotoSans-Bold.ttf
q=qrc
a=adv
# The two large pictures are decoded while the window first appears: unfiltered rows decode about
# three times faster, and the extra chunks are of no use to the program.
fast="-strip -define png:compression-level=1 -define png:compression-filter=0"

# Window icon: a blue rounded tile with a white parcel, 95 x 104, one 32-bit image.
convert -size 95x104 xc:none \
    -fill '#5272BA' -draw 'roundrectangle 2,2 92,101 18,18' \
    -fill none -stroke white -strokewidth 5 \
    -draw 'polygon 47,22 78,38 78,74 47,90 16,74 16,38' \
    -draw 'polyline 16,38 47,54 78,38' -draw 'line 47,54 47,90' \
    -draw 'line 31,30 62,46' \
    -define png:color-type=6 /tmp/parcelo-icon.png
convert /tmp/parcelo-icon.png -define icon:auto-resize= PNG32:/tmp/parcelo-icon32.png
convert /tmp/parcelo-icon32.png -type TrueColorAlpha $q/icon.ico
rm -f /tmp/parcelo-icon.png /tmp/parcelo-icon32.png

# The icon Windows shows for parcelo.exe (Explorer, taskbar, Start menu): the same tile drawn 2.4
# times as large on a square, in the usual sizes from 16 to 256 pixels.
convert -size 228x250 xc:none -affine 2.4,0,0,2.4,0,0 \
    -fill '#5272BA' -draw 'roundrectangle 2,2 92,101 18,18' \
    -fill none -stroke white -strokewidth 5 \
    -draw 'polygon 47,22 78,38 78,74 47,90 16,74 16,38' \
    -draw 'polyline 16,38 47,54 78,38' -draw 'line 47,54 47,90' \
    -draw 'line 31,30 62,46' -background none -gravity center -extent 256x256 PNG32:/tmp/parcelo-icon256.png
convert /tmp/parcelo-icon256.png -define icon:auto-resize=256,128,64,48,32,24,16 parcelo.ico
rm -f /tmp/parcelo-icon256.png

# Window background: a pale wash with two soft waves at the bottom, 980 x 777, no alpha.
convert -size 980x777 gradient:'#FFFFFF'-'#EAF0FF' \
    -fill '#DCE6FF' -draw 'path "M 0,640 C 250,580 520,700 980,600 L 980,777 L 0,777 Z"' \
    -fill '#CFDCFA' -draw 'path "M 0,700 C 300,660 640,760 980,690 L 980,777 L 0,777 Z"' \
    -type TrueColor $fast PNG24:$q/background.png

# Close: a white diagonal cross on a transparent ground, 778 x 778.
convert -size 778x778 xc:none -stroke white -strokewidth 90 \
    -draw 'stroke-linecap round line 150,150 628,628' -draw 'stroke-linecap round line 628,150 150,628' $fast PNG32:$q/close.png

# Minimise: a grey bar, 32 x 32.
convert -size 32x32 xc:none -fill '#E6E6E6' -draw 'roundrectangle 6,20 26,23 1,1' PNG32:$q/minimize.png

# Help: a grey ring with a question mark, 32 x 32.
convert -size 32x32 xc:none -fill none -stroke '#E6E6E6' -strokewidth 2.5 -draw 'circle 16,16 16,3' \
    -stroke none -fill '#E6E6E6' -font "$bold" -pointsize 19 -gravity center -annotate +0+1 '?' PNG32:$q/help.png

# Contact: a white envelope, 90 x 90.
convert -size 90x90 xc:none -fill none -stroke white -strokewidth 6 \
    -draw 'roundrectangle 10,22 80,68 6,6' -draw 'polyline 12,25 45,50 78,25' PNG32:$q/contact-us.png

# Partner cards: a plain framed card with the partner's name and an invitation to visit, at each
# picture's own size. The names are set as text; nothing of the partners' own artwork is used.
card() { # name text width height ground ink
    local w=$3 h=$4
    convert -size "${w}x${h}" xc:none -fill "$5" -stroke "$6" -strokewidth 2 \
        -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) 16,16" -stroke none \
        -fill "$6" -font "$bold" -pointsize 17 -gravity center -annotate +0-8 "$2" \
        -font "$font" -pointsize 11 -annotate +0+22 'Visit site ›' -define png:exclude-chunks=date,time PNG32:$a/$1.png
}
card booking 'Booking' 128 128 '#E4EBFA' '#2F4C8F'
card expedia 'Expedia' 128 130 '#FFF1C7' '#5A4500'
card tripadvisor 'Tripadvisor' 128 128 '#DDF2E7' '#1F5E40'
card walgreens 'Walgreens' 130 130 '#FADCDC' '#8A1F1F'

# The desktop's icon: the window icon centred on a square, as icon themes want it.
convert qrc/icon.ico -background none -gravity center -extent 128x128 PNG32:parcelo.png
