#!/usr/bin/env bash
# Makes the sample card sets with their media into a folder (default build/samples): the card sets
# of this folder as they are (with their picture folders), and card sets whose pictures are drawn
# with ImageMagick, whose sounds are synthesised with sox and whose videos come from ffmpeg's own
# test sources. The media go into the subfolder "Mnemora samples"; the card sets name them through %APPDATA%, so the
# folder works wherever it is copied into a player's application-data folder.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../build/samples}
media="$out/Mnemora samples"
mkdir -p "$media"
cp "$here"/*.mnc "$out/"
for folder in "$here"/*/; do cp -r "$folder" "$out/"; done
[ -f "$media/.complete" ] && exit 0

picture() { convert -size 400x300 xc:white "$@"; }
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

# Short videos from ffmpeg's test sources, each with a quiet sound track (a video without one does
# not play in the program under Wine).
quiet=(-f lavfi -i 'anullsrc=r=44100:cl=mono')
ffmpeg -loglevel error -y -f lavfi -i 'testsrc=size=320x240:rate=20' "${quiet[@]}" -t 4 -c:v mpeg1video -q:v 4 \
    -c:a mp2 -b:a 64k -f mpeg "$media/pattern.mpg"
ffmpeg -loglevel error -y -f lavfi -i 'life=size=320x240:rate=25:mold=10:ratio=0.2:death_color=#C83232:life_color=#00ff00' \
    "${quiet[@]}" -t 3 -pix_fmt yuv420p -c:v mpeg1video -b:v 400k -c:a mp2 -b:a 64k -f mpeg "$media/life.mpg"
ffmpeg -loglevel error -y -f lavfi -i 'mandelbrot=size=320x240:rate=15' "${quiet[@]}" -t 4 -pix_fmt yuv420p -c:v wmv2 \
    -q:v 4 -c:a wmav2 -b:a 64k -f asf "$media/mandelbrot.wmv"

python3 "$here/make-media-samples.py" "$out"
touch "$media/.complete"
