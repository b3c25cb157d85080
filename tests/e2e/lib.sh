# Shared steps of the acceptance script, which drives the real program under Xvfb as a player
# would. Sourced with the script's arguments: mnemora.exe, the build folder, mnemora_probe.exe.
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

# Waits until the probe's output for the given arguments matches a pattern; prints the output.
wait_for() {
    local pattern=$1 seconds=$2 out
    shift 2
    for _ in $(seq $((seconds * 4))); do
        out=$(probe "$@") || true
        grep -qE "$pattern" <<<"$out" && printf '%s\n' "$out" && return 0
        sleep 0.25
    done
    return 1
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
# Board-size button i (0 to 5) of the bar: 96-pixel images in buttons with 2-pixel edges, 15 apart.
click_board_size() {
    local x y w h
    read -r x y w h <<<"$(rect_of toolbar)"
    click_at $((x + $1 * 119 + 52)) $((y + h / 2))
}
# Chooses a card set in the bar's list with the mouse and the keyboard.
choose_card_set() {
    local position
    position=$(probe window | sed -n 's/^items //p' | tr '|' '\n' | grep -nx "$1" | cut -d: -f1)
    [ -n "$position" ] || fail "the bar does not list $1"
    click_rect "$(rect_of combo)"
    sleep 0.3
    xdotool key Home
    for _ in $(seq 2 "$position"); do xdotool key Down; done
    xdotool key Return
    wait_for "^selected $1\$" 10 window >/dev/null || fail "could not choose $1"
}
# Chooses a card set and deals it on board size i (0 to 5), waiting for the named last card.
deal() {
    choose_card_set "$1"
    click_board_size "$2"
    wait_for "^$3 " 10 window >/dev/null || fail "$1 was not dealt"
}
faceup_count() { probe window | grep -c 'faceup=1' || true; }
# The pairs of the face-down cards dealt, and the cards ("cardN") of a pair.
board_pairs() { probe window | sed -n 's/^card[0-9]* faceup=0 pair=\([0-9]*\) .*/\1/p' | sort -un; }
pair_cards() { probe window | awk -v p="pair=$1" '$3 == p { print $1 }'; }
# The share of a screenshot's pixels that are white, in parts of the scale given (100, 1000).
white_share() { convert "$SHOTS/$1.png" -fill black +opaque white -format "%[fx:int($2*mean)]" info:; }
winpath() { $MNEMORA_WINE winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# In the open file dialog of the given caption, types a file's path and presses Return.
choose_file() {
    wait_dialog "$1"
    type_text "$(winpath "$2")" && xdotool key Return
}
# Opens a menu item with the keyboard: Alt + the menu's letter, then the item's letter.
menu() { xdotool key "alt+$1" && sleep 0.3 && xdotool key "$2"; }
# Waits until the topmost dialog has the given caption.
wait_dialog() {
    for _ in $(seq 60); do
        probe dialogs | head -1 | grep -q "^dialog $1|" && return 0
        sleep 0.25
    done
    fail "no dialog \"$1\" on top (seen: $(probe dialogs))"
}
wait_no_dialog() { wait_for '^$' 15 dialogs >/dev/null || fail "a dialog stayed open: $(probe dialogs)"; }
# Presses a control of the topmost dialog with the mouse.
click_control() { click_rect "$(probe rect "$1")"; }
click_list_item() { click_rect "$(probe item "$1" "$2")"; }
# Position (from 0) of a name in a list box of the topmost dialog.
list_position() { probe list "$1" | sed -n 's/^items //p' | tr '|' '\n' | grep -nx "$2" | cut -d: -f1 | awk '{ print $1 - 1 }'; }
type_text() { xdotool type --delay 30 "$1" && sleep 0.2; }
# Replaces the text of an edit field of the topmost dialog.
set_field() {
    click_control "$1"
    xdotool key End shift+Home Delete
    type_text "$2"
}
# Red, green and blue in the colour chooser's fields.
set_colour() { set_field 706 "$1" && set_field 707 "$2" && set_field 708 "$3"; }
# Waits for a PDF that is not in the list of files given and is completely written; prints its path.
wait_pdf() {
    for _ in $(seq 600); do
        for f in "$MNEMORA_PRINT_OUTPUT"/*.pdf; do
            [ -e "$f" ] && ! grep -qxF "$f" <<<"$1" && tail -c 16 "$f" | grep -q '%%EOF' && echo "$f" && return 0
        done
        sleep 0.1
    done
    return 1
}
setting() {
    $MNEMORA_WINE reg query 'HKCU\Software\Quillon\Mnemora\Settings' /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v n="$1" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
