#!/usr/bin/env bash
# Makes the sounds and videos that the media tests play, into the folder given (made if missing):
# tones with sox, videos from ffmpeg's test pattern, and a folder link. Quick when the files are
# already there.
set -euo pipefail
out=${1:?usage: make-test-media.sh <folder>}
mkdir -p "$out"
stamp="$out/.made"
# A folder holding a link to another folder, for the test that removes an import's folder: made
# anew every time, since that test removes the link.
mkdir -p "$out/links/holder" "$out/links/target"
printf kept >"$out/links/target/keep.txt"
ln -sfn ../target "$out/links/holder/link"
if [ -f "$stamp" ] && [ "$stamp" -nt "${BASH_SOURCE[0]}" ]; then
    exit 0
fi
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
pattern="testsrc=size=320x240:rate=25:duration=6"
tone="sine=frequency=440:sample_rate=44100:duration=6"

# Tones of 440 Hz and 880 Hz, 6 seconds each, and a text file that pretends to be a sound.
sox -n -r 44100 -c 1 -b 16 "$out/tone440.wav" synth 6 sine 440 vol 0.5
sox -n -r 44100 -c 1 -b 16 "$out/tone880.wav" synth 6 sine 880 vol 0.5
printf 'This is a text file, not a sound.\r\n' >"$out/not-a-sound.wav"
# Videos of the moving test pattern, 320 x 240: AVI with a tone, AVI without sound, MPEG-1, WMV.
ff -f lavfi -i "$pattern" -f lavfi -i "$tone" -c:v mpeg4 -q:v 5 -c:a pcm_s16le -shortest "$out/pattern.avi"
ff -f lavfi -i "$pattern" -an -c:v mpeg4 -q:v 5 "$out/silent.avi"
ff -f lavfi -i "$pattern" -f lavfi -i "$tone" -c:v mpeg1video -b:v 800k -c:a mp2 -b:a 128k -shortest \
    -f mpeg "$out/pattern.mpg"
ff -f lavfi -i "$pattern" -f lavfi -i "$tone" -c:v wmv2 -b:v 800k -c:a wmav2 -b:a 64k -shortest \
    -f asf "$out/pattern.wmv"
# One second at a size that is no multiple of 16, whose header the program reads: AVI, MPEG-1, MPEG-2,
# WMV.
odd="testsrc=size=250x170:rate=25:duration=1"
ff -f lavfi -i "$odd" -c:v mpeg4 -q:v 5 "$out/odd-size.avi"
ff -f lavfi -i "$odd" -c:v mpeg1video -b:v 800k -f mpeg "$out/odd-size.mpg"
ff -f lavfi -i "$odd" -c:v mpeg2video -b:v 800k -f vob "$out/odd-size-2.mpg"
ff -f lavfi -i "$odd" -c:v wmv2 -b:v 800k -f asf "$out/odd-size.wmv"
# A text file that only pretends to be a video.
printf 'This is a text file, not a video.\r\n' >"$out/not-a-video.mpg"
touch "$stamp"
