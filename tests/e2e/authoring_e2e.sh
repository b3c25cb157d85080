#!/usr/bin/env bash
# A new player makes a card set through the program's dialogs: eight pairs with bold and coloured
# texts and a picture chosen with Browse..., saves it, finds it in the bar and plays it; renames,
# copies and removes it; changes the display time and the card colour. Screenshots of each step
# go to the build folder.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SHOTS="$BUILD/screenshots/authoring"
mkdir -p "$SHOTS"

# Clicks into the text line of a rich-text editor (its bottom edge) or one of its buttons (0-3).
click_editor_text() {
    local x y w h
    read -r x y w h <<<"$(control_rect "$1")"
    click_at $((x + w / 2)) $((y + h - 6))
}
click_editor_button() {
    local x y w h
    read -r x y w h <<<"$(control_rect "$1")"
    click_at $((x + $2 * 32 + 16)) $((y + 16))
}
type_text() {
    xdotool type --delay 30 "$1"
    sleep 0.2
}
# Replaces the text of an edit field of the topmost dialog.
set_field() {
    click_control "$1"
    xdotool key End shift+Home Delete
    type_text "$2"
}
# Chooses a card set in the bar's list with the mouse and the keyboard.
choose_card_set() {
    local position
    click_rect "$(rect_of combo)"
    sleep 0.3
    position=$(probe window | sed -n 's/^items //p' | tr '|' '\n' | grep -nx "$1" | cut -d: -f1)
    [ -n "$position" ] || fail "the bar does not list $1"
    xdotool key Home
    for _ in $(seq 2 "$position"); do xdotool key Down; done
    xdotool key Return
    wait_for "^selected $1\$" 10 window >/dev/null || fail "could not choose $1"
}

# A picture to put on a card, chosen with Browse... like any file of the player's.
picture="$BUILD/e2e-media/robin.png"
mkdir -p "$(dirname "$picture")"
convert -size 120x90 xc:'#d04020' -fill '#f0d080' -draw 'circle 60,45 60,15' "$picture"
picture_windows=$($MNEMORA_WINE winepath -w "$picture" 2>/dev/null | tr -d '\r')

fresh_user
start_program
screenshot 01-started

# Game, Card sets...: Add asks for the name, then the empty card set opens.
xdotool key alt+g
sleep 0.3
xdotool key c
wait_dialog "Card sets"
click_control 201
wait_dialog "Name of new card set"
type_text "Garden birds"
screenshot 02-name
xdotool key Return
wait_dialog "Card set"
[ "$(text_of 401)" = "Garden birds" ] || fail "the card set dialog shows '$(text_of 401)'"

words=(Robin Blackbird Sparrow Starling Wren Magpie Jay Finch)
others=(Rotkehlchen Amsel Spatz Star "Zaunkoenig" Elster "Eichelhaeher" Fink)
colours=("200 0 0" "0 120 0" "0 0 220" "160 0 160")
for i in "${!words[@]}"; do
    click_control 301
    wait_dialog "Card pair"
    sleep 0.5
    click_editor_text 101
    type_text "${words[$i]}"
    xdotool key End shift+Home
    if [ $((i % 2)) = 0 ]; then
        click_editor_button 101 0 # B
    else
        # C: a colour of the player's, typed into the chooser's red, green and blue fields.
        click_editor_button 101 3
        wait_dialog "Color"
        read -r red green blue <<<"${colours[$((i / 2 % 4))]}"
        set_field 706 "$red"
        set_field 707 "$green"
        set_field 708 "$blue"
        [ "$i" = 1 ] && screenshot 04-colour-chooser
        click_control 1
        wait_dialog "Card pair"
    fi
    click_editor_text 114
    type_text "${others[$i]}"
    if [ "$i" = 0 ]; then
        click_control 103
        wait_dialog "Open"
        sleep 0.5
        type_text "$picture_windows"
        screenshot 03-browse
        xdotool key Return
        wait_dialog "Card pair"
        [ "$(text_of 102)" = "$picture_windows" ] || fail "Browse... put '$(text_of 102)' into the picture field"
    fi
    [ "$i" = 1 ] && screenshot 05-card-pair
    click_control 1
    wait_dialog "Card set"
done
[ "$(probe list 201 | sed -n 's/^count //p')" = 8 ] || fail "the card set does not list eight pairs"
screenshot 06-card-set
click_control 1 # Save
wait_dialog "Card sets"
[ -f "$APPDATA_DIR/Garden birds.mnc" ] || fail "the card set was not saved"
grep -q '^Count=8' "$APPDATA_DIR/Garden birds.mnc" || fail "the saved card set does not hold eight pairs"
grep -q 'robin.png' "$APPDATA_DIR/Garden birds.mnc" || fail "the picture is not in the card set"
screenshot 07-card-sets
click_control 2 # Close
wait_no_dialog
wait_for '^items .*Garden birds' 10 window >/dev/null || fail "the bar does not list the new card set"

# Play it: choose it in the bar and deal a 2 x 2 board.
choose_card_set "Garden birds"
click_board_size 0
wait_for '^card4 ' 10 window >/dev/null || fail "the new card set was not dealt"
click_rect "$(rect_of card1 | tail -1)"
sleep 0.5
screenshot 08-playing

# Rename, copy and remove it in the card sets dialog.
xdotool key alt+g
sleep 0.3
xdotool key c
wait_dialog "Card sets"
click_list_item 101 "$(list_position 101 "Garden birds")"
click_control 202
wait_dialog "New name of card set"
[ "$(text_of 101)" = "Garden birds" ] || fail "the name dialog offers '$(text_of 101)'"
xdotool key End shift+Home Delete
type_text "Birds"
xdotool key Return
wait_dialog "Card sets"
[ -f "$APPDATA_DIR/Birds.mnc" ] && [ ! -f "$APPDATA_DIR/Garden birds.mnc" ] || fail "the card set was not renamed"
click_list_item 101 "$(list_position 101 "Birds")"
click_control 205
wait_dialog "Name of copied card set"
xdotool key End
type_text " 2"
xdotool key Return
wait_dialog "Card sets"
[ -f "$APPDATA_DIR/Birds 2.mnc" ] || fail "the card set was not copied"
cmp -s "$APPDATA_DIR/Birds.mnc" "$APPDATA_DIR/Birds 2.mnc" || fail "the copy differs from its card set"
screenshot 09-renamed-and-copied
click_list_item 101 "$(list_position 101 "Birds 2")"
click_control 204
wait_dialog "Question"
probe dialogs | grep -q 'remove card set "Birds 2"?' || fail "unexpected question: $(probe dialogs)"
screenshot 10-remove-question
click_control 6 # Yes
wait_dialog "Card sets"
[ -f "$APPDATA_DIR/Birds 2.mnc" ] && fail "the copy was not removed"
click_control 2
wait_no_dialog
wait_for '^items Birds\|Capitals' 10 window >/dev/null || fail "the bar was not refilled: $(probe window | grep items)"

# Settings, with a game on the board: half a second and a light blue for the cards.
choose_card_set "Birds"
click_board_size 0
wait_for '^card4 ' 10 window >/dev/null || fail "the renamed card set was not dealt"
xdotool key alt+g
sleep 0.3
xdotool key s
wait_dialog "Settings"
[ "$(text_of 101)" = 1000 ] || fail "the settings open with '$(text_of 101)'"
set_field 101 500
click_control 103
wait_dialog "Color"
set_field 706 150
set_field 707 200
set_field 708 255
click_control 1
wait_dialog "Settings"
screenshot 11-settings
click_control 1
wait_no_dialog
[ "$(setting DisplayTime)" = 500 ] || fail "DisplayTime is '$(setting DisplayTime)'"
[ "$(setting ButtonBackgroundColorR) $(setting ButtonBackgroundColorG) $(setting ButtonBackgroundColorB)" = \
    "150 200 255" ] || fail "the card colour was not stored"
sleep 0.5
screenshot 12-new-colour
# The face-down cards are repainted in the new colour: sample the middle of the last card.
read -r x y w h <<<"$(rect_of card4 | tail -1)"
colour=$(convert "$SHOTS/12-new-colour.png" -format "%[pixel:p{$((x + w / 2)),$((y + h / 2))}]" info:)
case "$colour" in
*"150,200,255"* | *"#96C8FF"*) ;;
*) fail "a card shows $colour instead of the new colour" ;;
esac

xdotool key alt+g
sleep 0.3
xdotool key e
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
echo "authoring e2e passed"
