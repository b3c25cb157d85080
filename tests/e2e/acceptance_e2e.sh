#!/usr/bin/env bash
# Acceptance, as a new player would: install silently into a fresh prefix, start the installed
# program, play a 2 x 2 game to the next deal, open and close every dialog, print a sample card
# set where a printer exists, and uninstall. Screenshots of each step go to the build folder.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# A prefix of its own: installing must not touch the prefix of the other tests.
export WINEPREFIX="$BUILD/acceptance-prefix"
rm -rf "$WINEPREFIX"
"$ROOT/scripts/prepare-wineprefix.sh" "$WINEPREFIX"
APPDATA_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
SHOTS="$BUILD/screenshots/acceptance"
mkdir -p "$SHOTS"
start_wine_services
trap 'wineserver -k 2>/dev/null || true' EXIT

# The installer of the release; where this machine cannot run 32-bit programs, the same installer
# script with a 64-bit stub.
dist="$BUILD/dist"
mkdir -p "$dist"
bash "$ROOT/samples/make-samples.sh" "$ROOT/build/samples" >/dev/null
stub=()
[ "$MNEMORA_CAN_RUN_32BIT" = 1 ] || stub=(-DAMD64_STUB)
makensis -V1 "${stub[@]}" -DVERSION=1.0 -DBUILD64="$ROOT/build/x86_64" -DBUILD32="$ROOT/build/i686" \
    -DHELP="$ROOT/help" -DSAMPLES="$ROOT/build/samples" -DOUTFILE="$dist/setup.exe" "$ROOT/installer/mnemora.nsi" ||
    fail "the installer could not be built"

# A card set of the player's own with the name of a sample: the installer must keep it.
mkdir -p "$APPDATA_DIR"
printf '[General]\r\nCount=1\r\n[Entry1]\r\nText1=mine\r\nText2=\r\n' >"$APPDATA_DIR/Colours.mnc"
cp "$APPDATA_DIR/Colours.mnc" "$BUILD/players-colours.mnc"

$MNEMORA_WINE "$dist/setup.exe" /S || fail "the silent install failed"
cmp -s "$APPDATA_DIR/Colours.mnc" "$BUILD/players-colours.mnc" || fail "the installer replaced the player's Colours"
installed="$WINEPREFIX/drive_c/Program Files/Mnemora"
[ -f "$installed/mnemora.exe" ] || fail "mnemora.exe was not installed"
[ -f "$installed/help/mnemora.html" ] || fail "the help page was not installed"
[ -f "$APPDATA_DIR/Shapes.mnc" ] || fail "the sample card sets were not copied"
# Every picture, sound and video a sample card set names is there.
for card_set in "$APPDATA_DIR"/*.mnc; do
    sed -n 's/^[A-Za-z]*FileName[12]=%APPDATA%\\//p' "$card_set" | tr -d '\r' | tr '\\' / | while read -r media; do
        [ -f "$APPDATA_DIR/$media" ] || fail "$(basename "$card_set") names $media, which was not installed"
    done
done
ls "$APPDATA_DIR"/../Roaming/Microsoft/Windows/"Start Menu"/Programs/Mnemora/Mnemora.lnk >/dev/null ||
    fail "no start-menu entry"

MNEMORA_EXE="$installed/mnemora.exe"
start_program
screenshot 1-started

# Choose "Capitals" in the list and deal a 2 x 2 board.
click_rect "$(rect_of combo)"
sleep 0.3
xdotool key Down Return
wait_for '^selected Capitals$' 10 window >/dev/null || fail "could not choose a card set"
click_board_size 0
wait_for '^card4 ' 10 window >/dev/null || fail "no 2 x 2 board was dealt"
screenshot 2-dealt

# Play: turn the two cards of each pair.
for pair in $(probe window | sed -n 's/^card[0-9]* faceup=0 pair=\([0-9]*\) .*/\1/p' | sort -u); do
    for card in $(probe window | awk -v p="pair=$pair" '$3 == p { print $1 }'); do
        click_rect "$(rect_of "$card" | tail -1)"
        sleep 0.3
    done
    screenshot "3-pair-$pair"
done
# Every card open, then after the display time a fresh deal with every card face down.
wait_for '^card4 faceup=0' 15 window >/dev/null || fail "the board was not dealt again"
probe window | grep -q 'faceup=1' && fail "a card of the new deal is face up"
screenshot 4-dealt-again

# A game in progress for the README: "Shapes" on a 4 x 4 board with five pairs found.
click_rect "$(rect_of combo)"
sleep 0.3
xdotool type S
xdotool key Return
wait_for '^selected Shapes$' 10 window >/dev/null || fail "could not choose Shapes"
click_board_size 3
wait_for '^card16 ' 10 window >/dev/null || fail "no 4 x 4 board was dealt"
for pair in $(probe window | sed -n 's/^card[0-9]* faceup=0 pair=\([0-9]*\) .*/\1/p' | sort -un | head -5); do
    for card in $(probe window | awk -v p="pair=$pair" '$3 == p { print $1 }'); do
        click_rect "$(rect_of "$card" | tail -1)"
        sleep 0.4
    done
done
[ "$(probe window | grep -c 'faceup=1')" = 10 ] || fail "five pairs found should show ten cards"
sleep 0.5
screenshot 5-game-in-progress
screenshot_rect game "$(rect_of main)"
# The pictures are on the cards: their white backgrounds cover a good part of the board.
white=$(convert "$SHOTS/game.png" -fill black +opaque white -format '%[fx:int(100*mean)]' info:)
[ "$white" -ge 10 ] || fail "the found pairs show no pictures ($white % of the window is white)"

# Every dialog opens and closes: the card sets, a card set, a card pair and the name dialog, the
# settings, About and the print dialog.
xdotool key alt+g
sleep 0.3
xdotool key c
wait_dialog "Card sets"
screenshot 6-card-sets
click_list_item 101 "$(list_position 101 Shapes)"
click_control 203 # Modify...
wait_dialog "Card set"
[ "$(probe list 201 | sed -n 's/^count //p')" = 10 ] || fail "the card set dialog does not list ten pairs"
screenshot 7-card-set
click_list_item 201 0
click_control 302 # Modify...
wait_dialog "Card pair"
sleep 0.5
text_of 102 | grep -q 'Shapes' || fail "the card pair dialog shows no picture of Shapes: '$(text_of 102)'"
screenshot 8-card-pair
screenshot_rect card-pair-dialog "$(probe frame | awk '{ print $2, $3, $4, $5 }')"
click_control 2 # Cancel
wait_dialog "Card set"
click_control 2
wait_dialog "Card sets"
click_control 201 # Add...
wait_dialog "Name of new card set"
screenshot 9-name
xdotool key Escape
wait_dialog "Card sets"
click_control 2 # Close
wait_no_dialog

open_and_close() {
    local name=$1
    shift
    xdotool key "$@"
    wait_for '^dialog ' 10 dialogs >/dev/null || fail "$name did not open"
    screenshot "10-$name"
    xdotool key Escape
    wait_no_dialog
}
open_and_close settings alt+g s
open_and_close about alt+h a

# Print "Opposites" where the test command started a print server with a PDF printer; otherwise
# the print dialog only opens and closes.
if [ -n "${MNEMORA_PRINT_OUTPUT:-}" ]; then
    print_card_set Opposites
    pages=$(pdfinfo "$PRINTED" | awk '/^Pages:/ { print $2 }')
    [ "$pages" = 5 ] || fail "the printed card set has $pages pages, expected 5"
    pdftoppm -r 50 -png -f 1 -l 1 "$PRINTED" "$SHOTS/11-printed" || fail "the printed document cannot be read"
else
    echo "no print server: the print dialog is opened and cancelled"
    open_and_close print ctrl+p
fi

# Leave, then uninstall: the program goes, the player's card sets stay.
xdotool key alt+g
sleep 0.3
xdotool key e
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
$MNEMORA_WINE "$installed/uninstall.exe" /S || fail "the uninstaller failed"
for _ in $(seq 40); do [ -f "$installed/mnemora.exe" ] || break; sleep 0.25; done
[ -f "$installed/mnemora.exe" ] && fail "the program is still installed"
[ -f "$APPDATA_DIR/Shapes.mnc" ] && cmp -s "$APPDATA_DIR/Colours.mnc" "$BUILD/players-colours.mnc" ||
    fail "uninstalling removed or changed the player's card sets"
wineserver -k
echo "acceptance passed"
