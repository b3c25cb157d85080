#!/usr/bin/env bash
# Makes the sample card sets with their media into a folder (default build/samples): the text card
# sets of this folder as they are, and card sets whose pictures are drawn with ImageMagick, whose
# sounds are synthesised with sox and whose videos come from ffmpeg's own test sources. The media
# go into the subfolder "Mnemora samples"; the card sets name them through %APPDATA%, so the
# folder works wherever it is copied into a player's application-data folder.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../build/samples}
media="$out/Mnemora samples"
mkdir -p "$media"
cp "$here"/*.mnc "$out/"
[ -f "$media/.complete" ] && exit 0

picture() { convert -size 400x300 xc:white "$@"; }
picture -fill '#d03030' -draw 'circle 200,150 200,40' "$media/circle.png"
picture -fill '#3060d0' -draw 'rectangle 90,40 310,260' "$media/square.png"
picture -fill '#30a040' -draw 'polygon 200,30 330,270 70,270' "$media/triangle.png"
picture -fill '#e0b000' -draw 'polygon 200,25 229,110 320,110 247,163 274,250 200,198 126,250 153,163 80,110 171,110' "$media/star.png"
picture -fill '#a040c0' -draw 'polygon 200,30 320,150 200,270 80,150' "$media/diamond.png"
picture -fill '#e07020' -draw 'polygon 140,45 260,45 320,150 260,255 140,255 80,150' "$media/hexagon.png"
picture -fill '#20a0a0' -draw 'ellipse 200,150 160,90 0,360' "$media/oval.png"
picture -fill '#806040' -draw 'rectangle 40,90 360,210' "$media/rectangle.png"
picture -fill '#c03070' -draw 'polygon 170,40 230,40 230,120 310,120 310,180 230,180 230,260 170,260 170,180 90,180 90,120 170,120' "$media/cross.png"
picture -fill '#4040a0' -draw 'polygon 200,30 320,140 250,140 250,270 150,270 150,140 80,140' "$media/arrow.png"

# Notes of the scale: a tone each, and the note drawn on a staff.
notes=(C D E F G A B)
freqs=(261.63 293.66 329.63 349.23 392.00 440.00 493.88)
for i in "${!notes[@]}"; do
    n=${notes[$i]}
    sox -n -r 22050 -c 1 -b 16 "$media/note-$n.wav" synth 1.2 sine "${freqs[$i]}" fade q 0.02 1.2 0.3 vol 0.6
    y=$((230 - i * 15))
    args=(-stroke black -strokewidth 2)
    for line in 0 1 2 3 4; do args+=(-draw "line 40,$((200 - line * 30)) 360,$((200 - line * 30))"); done
    [ "$n" = C ] && args+=(-draw "line 160,230 240,230") # the ledger line below the staff
    picture "${args[@]}" -fill black -draw "ellipse 200,$y 22,15 0,360" -draw "line 221,$y 221,$((y - 90))" \
        "$media/note-$n.png"
done

# Short videos from ffmpeg's test sources.
ffmpeg -loglevel error -y -f lavfi -i 'testsrc=size=320x240:rate=20' -t 4 -c:v mpeg1video -q:v 4 "$media/pattern.mpg"
ffmpeg -loglevel error -y -f lavfi -i 'life=size=320x240:rate=25:mold=10:ratio=0.2:death_color=#C83232:life_color=#00ff00' \
    -t 3 -pix_fmt yuv420p -c:v mpeg1video -b:v 400k "$media/life.mpg"
ffmpeg -loglevel error -y -f lavfi -i 'mandelbrot=size=320x240:rate=15' -t 4 -pix_fmt yuv420p -c:v wmv2 -q:v 4 "$media/mandelbrot.wmv"

python3 "$here/make-media-samples.py" "$out"
touch "$media/.complete"
