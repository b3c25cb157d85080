#!/usr/bin/env bash
# Acceptance, as a new player would: installs into a fresh prefix of the build's architecture (so
# the installer picks this build), plays a 4 x 4 game by mouse to the next deal and a 2 x 2 game by
# keys, makes a card set through the dialogs, exports two packages, prints to the PDF printer and
# measures the cards, uninstalls; then imports the packages in a fresh prefix of another user and
# plays them there.
# Screenshots (game.png and card-pair-dialog.png for the README) go to <build>/screenshots/acceptance.
# mnemora_probe.exe looks at the running program from outside.
# Usage: acceptance_e2e.sh <mnemora.exe> <build> <mnemora_probe.exe>
set -euo pipefail
MNEMORA_EXE=$1
BUILD=$(cd "$2" && pwd)
PROBE=$3
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SHOTS="$BUILD/screenshots/acceptance"
. "$ROOT/scripts/wine-env.sh"
PROGRAM_PID=
cleanup_steps=()
trap 'for step in "${cleanup_steps[@]}"; do eval "$step"; done' EXIT

fail() {
    echo "FAIL: $*" >&2
    screenshot failure || true
    [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null
    exit 1
}
probe() { $MNEMORA_WINE "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# Evaluates a condition every quarter second until it holds, for at most the given seconds.
wait_until() {
    for _ in $(seq $(($1 * 4))); do
        eval "$2" && return 0
        sleep 0.25
    done
    return 1
}
# Waits until the probe's output for the given arguments matches a pattern; prints the output.
wait_for() {
    local pattern=$1 args=("${@:3}") out
    wait_until "$2" 'out=$(probe "${args[@]}"); grep -qE "$pattern" <<<"$out"' && printf '%s\n' "$out"
}
# A screenshot of the screen, or of the part of it given as "x y w h".
screenshot() {
    local x y w h crop=()
    read -r x y w h <<<"${2:-}"
    [ -z "$h" ] || crop=(-crop "${w}x${h}+${x}+${y}" +repage)
    import -window root "${crop[@]}" "$SHOTS/$1.png"
}
click_at() { xdotool mousemove "$1" "$2" sleep 0.1 click 1; }
# Clicks the centre of a rectangle given as "x y w h".
click_rect() {
    local x y w h
    read -r x y w h <<<"$1"
    [ -n "$h" ] || fail "nothing to click"
    click_at $((x + w / 2)) $((y + h / 2))
}
# Screen rectangle "x y w h" of a named line of the probe's window output (main, combo, card1...).
rect_of() { probe window | awk -v n="$1" '$1 == n { print $(NF-3), $(NF-2), $(NF-1), $NF }'; }
# Position (from 1) of a name in the "items" line of the probe's output on standard input.
item_position() { sed -n 's/^items //p' | tr '|' '\n' | grep -nx "$1" | cut -d: -f1; }
# Moves the selection of the list that has the focus to a position (from 1) with the keyboard.
select_by_keys() {
    [ -n "$1" ] || fail "nothing to select"
    xdotool key Home
    for _ in $(seq 2 "$1"); do xdotool key Down; done
}
# Chooses a card set in the bar's list with the mouse and the keyboard.
choose_card_set() {
    local position
    position=$(probe window | item_position "$1")
    [ -n "$position" ] || fail "the bar does not list $1"
    click_rect "$(rect_of combo)"
    sleep 0.3
    select_by_keys "$position"
    xdotool key Return
    wait_for "^selected $1\$" 10 window >/dev/null || fail "could not choose $1"
}
# Chooses a card set and deals it on board size i (0 to 5), waiting for the named last card. The
# bar's board-size buttons hold 96-pixel images with 2-pixel edges, 15 apart.
deal() {
    local x y w h
    choose_card_set "$1"
    read -r x y w h <<<"$(rect_of toolbar)"
    click_at $((x + $2 * 119 + 52)) $((y + h / 2))
    wait_for "^$3 " 10 window >/dev/null || fail "$1 was not dealt"
}
faceup_count() { probe window | grep -c 'faceup=1' || true; }
# The pairs of the face-down cards dealt, and the cards ("cardN") of a pair.
board_pairs() { probe window | sed -n 's/^card[0-9]* faceup=0 pair=\([0-9]*\) .*/\1/p' | sort -un; }
pair_cards() { probe window | awk -v p="pair=$1" '$3 == p { print $1 }'; }
# The share of a screenshot's pixels that are white, in parts of the scale given (100, 1000).
white_share() { convert "$SHOTS/$1.png" -fill black +opaque white -format "%[fx:int($2*mean)]" info:; }
# In the open file dialog of the given caption, types a file's path and presses Return.
choose_file() {
    wait_dialog "$1"
    sleep 0.5
    type_text "$($MNEMORA_WINE winepath -w "$2" 2>/dev/null | tr -d '\r')" && xdotool key Return
}
# Opens a menu item with the keyboard: Alt + the menu's letter, then the item's letter.
menu() { xdotool key "alt+$1" && sleep 0.3 && xdotool key "$2"; }
# Waits until the topmost dialog has the given caption.
wait_dialog() {
    local caption=$1
    wait_until 15 'probe dialogs | head -1 | grep -q "^dialog $caption|"' ||
        fail "no dialog \"$1\" on top (seen: $(probe dialogs))"
}
open_card_sets() { menu g c && wait_dialog "Card sets"; }
# Closes the "Card sets" dialog and waits until no dialog is open.
close_card_sets() {
    click_control 2
    wait_for '^$' 15 dialogs >/dev/null || fail "a dialog stayed open: $(probe dialogs)"
}
# Presses a control of the topmost dialog with the mouse.
click_control() { click_rect "$(probe rect "$1")"; }
type_text() { xdotool type --delay 30 "$1" && sleep 0.2; }
# Prints a PDF that is not in the list of files given and is completely written, if there is one.
new_pdf() {
    for f in "$MNEMORA_PRINT_OUTPUT"/*.pdf; do
        [ -e "$f" ] && ! grep -qxF "$f" <<<"$1" && tail -c 16 "$f" | grep -q '%%EOF' && echo "$f" && return 0
    done
    return 1
}

export WINEPREFIX="$BUILD/acceptance-prefix"
rm -rf "$SHOTS" "$WINEPREFIX" && mkdir -p "$SHOTS"
file -b "$MNEMORA_EXE" | grep -q 'x86-64' || export WINEARCH=win32
"$ROOT/scripts/prepare-wineprefix.sh" "$WINEPREFIX"
APPDATA_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
wineserver -p >/dev/null 2>&1 </dev/null # one server for the whole run, holding none of our output
$MNEMORA_WINE cmd /c exit >/dev/null 2>&1 </dev/null
cleanup_steps+=("wineserver -k 2>/dev/null || true")
start=$SECONDS

# The release's installer (where this machine runs only 64-bit programs, with a 64-bit stub).
bash "$ROOT/samples/make-samples.sh" "$ROOT/build/samples" >/dev/null
stub=()
[ "$MNEMORA_CAN_RUN_32BIT" = 1 ] || stub=(-DAMD64_STUB)
makensis -V1 "${stub[@]}" -DVERSION=1.0 -DBUILD64="$ROOT/build/x86_64" -DBUILD32="$ROOT/build/i686" \
    -DHELP="$ROOT/help" -DSAMPLES="$ROOT/build/samples" -DOUTFILE="$BUILD/setup.exe" "$ROOT/installer/mnemora.nsi" ||
    fail "the installer could not be built"
# A card set of the player's own with the name of a sample: the installer must keep it.
mkdir -p "$APPDATA_DIR"
printf '[General]\r\nCount=1\r\n[Entry1]\r\nText1=mine\r\nText2=\r\n' >"$BUILD/players-colours.mnc"
cp "$BUILD/players-colours.mnc" "$APPDATA_DIR/Colours.mnc"
$MNEMORA_WINE "$BUILD/setup.exe" /S || fail "the silent install failed"
installed=$(ls -d "$WINEPREFIX/drive_c/Program Files/Mnemora")
cmp -s "$installed/mnemora.exe" "$MNEMORA_EXE" || fail "the installer did not install this build"
[ -f "$installed/help/mnemora.html" ] || fail "the help page was not installed"
cmp -s "$APPDATA_DIR/Colours.mnc" "$BUILD/players-colours.mnc" || fail "the installer replaced the player's Colours"
[ -f "$APPDATA_DIR/Shapes.mnc" ] || fail "the sample card sets were not copied"
# Every picture, sound and video a sample names is there.
sed -n 's/^[A-Za-z]*FileName[12]=%APPDATA%\\//p' "$APPDATA_DIR"/*.mnc | tr -d '\r' | tr '\\' / | while read -r media; do
    [ -f "$APPDATA_DIR/$media" ] || fail "a sample names $media, which was not installed"
done
ls "$APPDATA_DIR/Microsoft/Windows/Start Menu/Programs/Mnemora/Mnemora.lnk" >/dev/null || fail "no start-menu entry"

# First start: no card set selected.
$MNEMORA_WINE "$installed/mnemora.exe" &
PROGRAM_PID=$!
window=$(wait_for '^title Mnemora$' 30 window) || fail "the main window did not appear"
screenshot 01-started
grep -qx 'selected ' <<<"$window" || fail "a card set is selected at first start"

# A whole game of "Shapes" on 4 x 4 by mouse: every card face down in the card colour; two cards
# of different pairs turn back after the display time, pairs stay; the README's picture with
# five pairs found; the last pair and, after the display time, a new deal face down.
deal Shapes 3 card16
sleep 0.5
screenshot 02-dealt
read -r x y w h <<<"$(rect_of card1)"
colour=$(convert "$SHOTS/02-dealt.png" -format "%[pixel:p{$((x + w / 2)),$((y + h / 2))}]" info:)
[[ $colour == *192,192,192* || $colour == *C0C0C0* || $colour == silver ]] || fail "a face-down card shows $colour"
pairs=$(board_pairs)
[ "$(wc -w <<<"$pairs")" = 8 ] || fail "the board does not hold eight pairs: $pairs"
first=$(rect_of "$(pair_cards "$(head -1 <<<"$pairs")" | head -1)")
second=$(rect_of "$(pair_cards "$(sed -n 2p <<<"$pairs")" | head -1)")
click_rect "$first"
sleep 0.3
click_rect "$second" # the program now waits the display time and answers no probe
sleep 0.4
screenshot 03-mismatch
for card in "$first" "$second"; do # the middle of the card in anything but the card colour
    read -r x y w h <<<"$card"
    shown=$(convert "$SHOTS/03-mismatch.png" -crop "$((w / 2))x$((h / 2))+$((x + w / 4))+$((y + h / 4))" +repage \
        -fill white +opaque 'rgb(192,192,192)' -fill black -opaque 'rgb(192,192,192)' -format '%[fx:int(100*mean)]' info:)
    [ "$shown" -ge 5 ] || fail "a card of a mismatched turn is not shown ($shown % of it)"
done
sleep 1
[ "$(faceup_count)" = 0 ] || fail "two cards of different pairs were not turned back"
found=0
for pair in $pairs; do
    for card in $(pair_cards "$pair"); do click_rect "$(rect_of "$card")" && sleep 0.3; done
    found=$((found + 1))
    [ "$(faceup_count)" = $((2 * found)) ] || [ $found = 8 ] || fail "pair $pair did not stay open"
    if [ $found = 5 ]; then
        sleep 0.5
        screenshot game "$(rect_of main)"
        white=$(white_share game 100)
        [ "$white" -ge 10 ] || fail "the found pairs show no pictures ($white % of the window is white)"
    fi
done
wait_for '^card16 faceup=0' 15 window >/dev/null || fail "the won board was not dealt again"
[ "$(faceup_count)" = 0 ] || fail "a card of the new deal is face up"
screenshot 04-dealt-again

# Keys alone: Ctrl+1 deals "Shapes" on 2 x 2 with the focus on card 1; Home, arrows and Space turn
# each pair to the new deal.
xdotool key ctrl+1
wait_until 10 '[ "$(probe window | grep -c "^card[0-9]* faceup=0")" = 4 ]' || fail "Ctrl+1 did not deal 2 x 2"
found=0
for pair in $(board_pairs); do
    for card in $(pair_cards "$pair"); do
        xdotool key Home $(sed 's/^card1$//; s/^card2$/Right/; s/^card3$/Down/; s/^card4$/Down Right/' <<<"$card") space
        sleep 0.3
    done
    found=$((found + 2))
    [ $found = 4 ] || [ "$(faceup_count)" = $found ] || fail "the keyboard did not turn pair $pair"
done
screenshot 05-keyboard-won
wait_for '^card4 faceup=0' 15 window >/dev/null && [ "$(faceup_count)" = 0 ] || fail "no new deal after the keyboard game"

# A card set of the player's: two pairs, one text made bold, one coloured with the colour chooser,
# a picture chosen with Browse...; saved, listed in the bar and played.
click_editor() { # the text line (bottom edge) or, with a second argument, button 0-3 of an editor
    local x y w h
    read -r x y w h <<<"$(probe rect "$1")"
    if [ $# = 1 ]; then click_at $((x + w / 2)) $((y + h - 6)); else click_at $((x + $2 * 32 + 16)) $((y + 16)); fi
}
picture="$BUILD/acceptance-robin.png"
convert -size 120x90 xc:'#d04020' -fill '#f0d080' -draw 'circle 60,45 60,15' "$picture"
open_card_sets
click_control 201 # Add...
wait_dialog "Name of new card set"
type_text "Garden birds"
xdotool key Return
wait_dialog "Card set"
for word in Robin Wren; do
    click_control 301 # Add...
    wait_dialog "Card pair"
    sleep 0.5
    click_editor 101
    type_text "$word"
    xdotool key End shift+Home
    if [ $word = Robin ]; then
        click_editor 101 0 # B
        click_editor 114
        type_text Rotkehlchen
        click_control 103 # Browse...
        choose_file Open "$picture"
        wait_dialog "Card pair"
        sleep 0.3
        screenshot card-pair-dialog "$(probe rect 0)"
    else
        click_editor 101 3 # C: a colour of the player's, typed into the chooser's fields
        wait_dialog Color
        for field in 706:0 707:120 708:0; do # red, green, blue
            click_control "${field%:*}" && xdotool key End shift+Home Delete && type_text "${field#*:}"
        done
        screenshot 07-colour-chooser
        click_control 1
        wait_dialog "Card pair"
        click_editor 114
        type_text Zaunkoenig
    fi
    click_control 1 # OK
    wait_dialog "Card set"
done
click_control 1 # Save
wait_dialog "Card sets"
saved="$APPDATA_DIR/Garden birds.mnc"
grep -q '^Count=2' "$saved" && grep -q 'acceptance-robin.png' "$saved" && grep -q 'Zaunkoenig' "$saved" ||
    fail "the card set was not saved with its pairs and picture"
grep -q 'Robin\\b0' "$saved" && grep -q 'red0\\green120\\blue0;.*Wren\\cf0' "$saved" || fail "bold or colour not saved"
close_card_sets
deal "Garden birds" 0 card4
click_rect "$(rect_of card1)"
sleep 0.5
screenshot 09-playing-own

# Sharing: the two media samples exported as packages, for the round trip to another user below.
export_package() { # card set, package file; in the open "Card sets" dialog
    rm -f "$2"
    click_control 101
    select_by_keys "$(probe list 101 | item_position "$1")"
    click_control 206 # Export...
    choose_file "Save As" "$2"
    wait_dialog "Card sets"
    unzip -tq "$2" >/dev/null && bsdtar -tf "$2" >/dev/null || fail "the archive tools do not read the package of $1"
}
open_card_sets
export_package "Musical notes" "$BUILD/acceptance-notes.zip"
export_package "Moving pictures" "$BUILD/acceptance-videos.zip"
close_card_sets

# Printing, to the PDF printer of the test print server (one of our own when the test command
# started none): "Opposites" as the dialog opens, "Shapes" with "Rounded corners" checked.
[ -n "${MNEMORA_PRINT_OUTPUT:-}" ] || . "$ROOT/scripts/test-setup/print.sh"
print_card_set() { # name, then dialog buttons to press before OK; leaves the document in PRINTED
    local name=$1 before
    shift
    choose_card_set "$name"
    before=$(ls "$MNEMORA_PRINT_OUTPUT"/*.pdf 2>/dev/null || true)
    xdotool key ctrl+p
    wait_dialog Print
    screenshot "13-print-$name"
    for button in "$@" 1; do
        click_control "$button"
        sleep 0.3
    done
    PRINTED=$(wait_until 60 'new_pdf "$before"') || fail "$name: no document was printed"
    sleep 0.5
    [ -z "$(probe dialogs)" ] || fail "$name: a box appeared after printing: $(probe dialogs)"
}
if [ -z "${MNEMORA_PRINT_OUTPUT:-}" ]; then
    echo "no print server: nothing printed"
else
    print_card_set Opposites
    square=$PRINTED
    print_card_set Shapes 1042
    for document in "$square square" "$PRINTED rounded"; do
        set -- $document
        [ "$(pdfinfo "$1" | awk '/^Pages:/ { print $2 }')" = 5 ] || fail "$1: not five pages for twenty cards"
        rm -f "$BUILD"/acceptance-page-*.pgm
        pdftoppm -r 150 -gray "$1" "$BUILD/acceptance-page" || fail "$1 cannot be read"
        pdftoppm -r 50 -png -f 1 -l 1 "$1" "$SHOTS/14-printed-$2"
        python3 - "$2" "$BUILD"/acceptance-page-*.pgm <<'PY' || fail "$1: the cards are not as expected"
import re, sys
mm = lambda v: v * 150 / 25.4
corners, failed = sys.argv[1], False
def edges(lines, length):  # centres of the bands of neighbouring lines with a dark run that long
    dark, bands = re.compile(rb'[\x00-\x7f]{%d,}' % int(mm(length))), []
    for i, line in enumerate(lines):
        if dark.search(line):
            if bands and bands[-1][1] == i - 1: bands[-1][1] = i
            else: bands.append([i, i])
    return [(a + b) / 2 for a, b in bands]
for number, path in enumerate(sys.argv[2:], 1):
    _, w, _, _, px = open(path, 'rb').read().split(maxsplit=4)
    rows = [px[y:y + int(w)] for y in range(0, len(px), int(w))]
    # Solid frame edges (the straight part of a rounded edge is 10 mm shorter); dashes are short.
    tops, sides = edges(rows, 80), edges([px[x::int(w)] for x in range(int(w))], 35)
    cards = [(t, b) for t in tops for b in tops if abs(b - t - mm(50)) < mm(2)]
    left, right = sides[0], sides[-1]
    for t, b in cards:
        size = ((right - left) / mm(1), (b - t) / mm(1))
        print('page %d: card %.2f mm x %.2f mm at (%.1f, %.1f) mm' % (number, *size, left / mm(1), t / mm(1)))
        corner = rows[round(t)][round(left)] < 128  # ink where square, paper where rounded
        inside = sum(v < 240 for y in range(int(t + mm(2)), int(b - mm(2))) for v in rows[y][int(left + mm(2)):int(right - mm(2))])
        cut = [min(rows[y][x] for y in range(round(t - mm(2.5)) - 2, round(t - mm(2.5)) + 3)) for x in range(int(left + mm(10)), int(right - mm(10)))]
        dashes = [len(d) for d in re.findall(rb'[\x00-\x7f]+', bytes(cut))]
        problems = [what for what, bad in [('not 100 mm x 50 mm', abs(size[0] - 100) > 0.5 or abs(size[1] - 50) > 0.5),
                    ('corner not ' + corners, corner != (corners == 'square')), ('empty', inside < 20),
                    ('cut line not dashed', len(dashes) < 30 or max(dashes) >= mm(3))] if bad]
        failed = failed or bool(problems)
        print(''.join('  ' + p + '\n' for p in problems), end='')
    if len(cards) != 4:
        failed = print('page %d: %d cards, not four' % (number, len(cards))) or True
sys.exit(1 if failed else 0)
PY
    done
fi

# Leave through the menu: the card set of the last game is remembered. Then uninstall: the program
# goes, the player's card sets stay.
menu g e
wait_until 20 '! kill -0 "$PROGRAM_PID" 2>/dev/null' || fail "the program did not end"
wait "$PROGRAM_PID" || fail "the program ended with exit code $?"
PROGRAM_PID=
$MNEMORA_WINE reg query 'HKCU\Software\Quillon\Mnemora\Settings' /v LastProfile 2>/dev/null |
    grep -q 'LastProfile *REG_SZ *Garden birds' || fail "the card set of the last game was not remembered"
$MNEMORA_WINE "$installed/uninstall.exe" /S || fail "the uninstaller failed"
wait_until 10 '[ ! -f "$installed/mnemora.exe" ]' || fail "the program is still installed"
[ -f "$APPDATA_DIR/Garden birds.mnc" ] && cmp -s "$APPDATA_DIR/Colours.mnc" "$BUILD/players-colours.mnc" ||
    fail "uninstalling removed or changed the player's card sets"

# The packages of the two media samples taken to another computer: a fresh prefix of another user,
# "teacher", without the samples. Imported, their files are byte for byte those of the samples; the
# notes show their pictures and are heard, each of the moving pictures shows its video.
samples_dir="$APPDATA_DIR/Mnemora samples"
cleanup_steps+=("WINEPREFIX='$BUILD/acceptance-prefix-teacher' wineserver -k 2>/dev/null || true")
export WINEPREFIX="$BUILD/acceptance-prefix-teacher" USER=teacher LOGNAME=teacher
rm -rf "$WINEPREFIX"
"$ROOT/scripts/prepare-wineprefix.sh" "$WINEPREFIX"
TEACHER_DIR="$WINEPREFIX/drive_c/users/teacher/AppData/Roaming"
# A display time long enough to see the last pair's video before the next deal.
$MNEMORA_WINE reg add 'HKCU\Software\Quillon\Mnemora\Settings' /v DisplayTime /t REG_SZ /d 8000 /f >/dev/null 2>&1
$MNEMORA_WINE "$MNEMORA_EXE" &
PROGRAM_PID=$!
wait_for '^title Mnemora$' 30 window >/dev/null || fail "the program did not start for the other user"
open_card_sets
for package in notes videos; do
    click_control 207 # Import...
    choose_file Open "$BUILD/acceptance-$package.zip"
    wait_dialog "Card sets"
done
close_card_sets
for name in "Musical notes" "Moving pictures"; do
    grep -qs "FileName[12]=%APPDATA%\\\\$name\\\\" "$TEACHER_DIR/$name.mnc" ||
        fail "$name was not imported for the other user, its files in its own folder"
    for file in "$TEACHER_DIR/$name"/*; do
        cmp -s "$file" "$samples_dir/$(basename "$file")" || fail "$file differs from the sample's"
    done
done
[ "$(ls "$TEACHER_DIR/Musical notes" | wc -l)" = 14 ] && [ "$(ls "$TEACHER_DIR/Moving pictures" | wc -l)" = 3 ] ||
    fail "the imported folders do not hold every file: $(ls "$TEACHER_DIR"/*/)"
# Whether a card changes between two screenshots 0.3 s apart, tried 12 times: a video playing.
changes() {
    local rect=$1
    wait_until 3 'screenshot moving-a "$rect" && sleep 0.3 && screenshot moving-b "$rect" &&
        [ "$(compare -metric AE "$SHOTS/moving-a.png" "$SHOTS/moving-b.png" null: 2>&1 | cut -d" " -f1)" -gt 100 ]'
}
# A whole 2 x 3 game of each: the first turn of the notes recorded from the sound device; every
# picture of a note shown; a card of each moving picture's pair moves.
deal "Musical notes" 1 card6
pairs=$(board_pairs)
first_card=$(rect_of "$(pair_cards "$(head -1 <<<"$pairs")" | head -1)")
rm -f "$BUILD/acceptance-heard.raw"
recording=
if [ -n "${PULSE_SERVER:-}" ]; then
    timeout 10 parec --latency-msec=50 --raw --format=s16le --rate=22050 --channels=1 -d nullsink.monitor \
        2>/dev/null | head -c 132300 >"$BUILD/acceptance-heard.raw" & # 3 s
    recording=$!
    sleep 0.3
fi
click_rect "$first_card" # turned again below, which a face-up card ignores
found=0
for pair in $pairs; do
    for card in $(pair_cards "$pair"); do click_rect "$(rect_of "$card")" && sleep 0.4; done
    [ -z "$recording" ] || { wait "$recording" || true; recording=; }
    found=$((found + 1))
    [ $found = 3 ] || screenshot "15-notes-$found" "$(rect_of main)"
done
for found in 1 2; do
    white=$(white_share "15-notes-$found" 1000)
    echo "white after $found pairs of notes: $white per mille"
    [ "$white" -ge $((80 * found)) ] || fail "the imported notes show no pictures after $found pairs"
done
if [ -n "${PULSE_SERVER:-}" ]; then
    loudest=$(sox -t raw -r 22050 -e signed -b 16 -c 1 "$BUILD/acceptance-heard.raw" -n stats 2>&1 |
        awk '/^RMS Pk dB/ { print $4 }') # the loudest 50 ms
    echo "loudest 50 ms of the recording: $loudest dB"
    awk -v db="$loudest" 'BEGIN { exit !(db ~ /^-?[0-9.]+$/ && db > -26) }' || fail "the imported note was not heard"
else
    echo "no sound device: the imported note was not listened to"
fi
wait_for '^card6 faceup=0' 15 window >/dev/null || fail "the notes were not dealt again"
deal "Moving pictures" 1 card6
for pair in $(board_pairs); do
    moved=0
    for card in $(pair_cards "$pair"); do
        rect=$(rect_of "$card")
        click_rect "$rect"
        changes "$rect" && moved=$((moved + 1))
    done
    [ $moved -ge 1 ] || fail "no card of pair $pair of the imported moving pictures moved" # (the last deal moves all)
done
screenshot 16-moving-pictures "$(rect_of main)"
menu g e
wait "$PROGRAM_PID" || fail "the program ended with exit code $?"
PROGRAM_PID=
echo "acceptance passed in $((SECONDS - start)) s"
