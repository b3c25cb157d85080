# Shared steps of the scripts that drive the real program under Xvfb as a player would.
# Sourced with the script's arguments: mnemora.exe, the build folder, mnemora_probe.exe.
set -euo pipefail
MNEMORA_EXE=$1
BUILD=$(cd "$2" && pwd)
PROBE=${3:-$BUILD/tests/mnemora_probe.exe}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX="$BUILD/wineprefix"
"$ROOT/scripts/prepare-wineprefix.sh" "$WINEPREFIX"
. "$ROOT/scripts/wine-env.sh"
APPDATA_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
SHOTS="$BUILD/screenshots"
mkdir -p "$SHOTS" "$APPDATA_DIR"
PROGRAM_PID=

# Keeps one Wine server with its background services running for this prefix, started with no
# output of ours open, so that nothing waiting for the script's output waits for them too.
start_wine_services() {
    wineserver -p >/dev/null 2>&1 </dev/null
    $MNEMORA_WINE cmd /c exit >/dev/null 2>&1 </dev/null
}

fail() {
    echo "FAIL: $*" >&2
    [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null
    exit 1
}

# The player's data: only the given card set files (default: the samples), no settings.
fresh_user() {
    rm -f "$APPDATA_DIR"/*.mnc
    if [ $# -eq 0 ]; then set -- "$ROOT"/samples/*.mnc; fi
    cp "$@" "$APPDATA_DIR/"
    $MNEMORA_WINE reg delete 'HKCU\Software\Quillon\Mnemora' /f >/dev/null 2>&1 || true
}

probe() { $MNEMORA_WINE "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# Waits until the probe's output for the given arguments matches a pattern; prints the output.
wait_for() {
    local pattern=$1 seconds=$2 out
    shift 2
    for _ in $(seq $((seconds * 4))); do
        out=$(probe "$@") || true
        if grep -qE "$pattern" <<<"$out"; then
            printf '%s\n' "$out"
            return 0
        fi
        sleep 0.25
    done
    return 1
}

start_program() {
    $MNEMORA_WINE "$MNEMORA_EXE" &
    PROGRAM_PID=$!
    WINDOW_INFO=$(wait_for '^title Mnemora$' 30 window) || fail "the main window did not appear"
}

# Screen rectangle of a named line of the probe's window output: prints "x y w h".
rect_of() { probe window | awk -v n="$1" '$1 == n { print $(NF-3), $(NF-2), $(NF-1), $NF }'; }

click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.1
    xdotool click 1
}

# Clicks the centre of a rectangle given as "x y w h".
click_rect() {
    local x y w h
    read -r x y w h <<<"$1"
    click_at $((x + w / 2)) $((y + h / 2))
}

# Board-size button i (0 to 5) of the bar.
click_board_size() {
    local x y w h edge=2
    read -r x y w h <<<"$(rect_of toolbar)"
    local button=$((4 * edge + 96))
    click_at $((x + $1 * (button + 15) + button / 2)) $((y + h / 2))
}

# Presses a button of the topmost dialog or message box with the mouse.
click_dialog_button() {
    local r
    r=$(probe button "$1" | awk '{ print $2, $3, $4, $5 }')
    [ -n "$r" ] || fail "no dialog with button $1"
    click_rect "$r"
}

screenshot() { import -window root "$SHOTS/$1.png"; }

# A screenshot of part of the screen, given as "x y w h".
screenshot_rect() {
    local x y w h
    read -r x y w h <<<"$2"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$1.png"
}

# Waits until the topmost dialog has the given caption.
wait_dialog() {
    for _ in $(seq 60); do
        probe dialogs | head -1 | grep -q "^dialog $1|" && return 0
        sleep 0.25
    done
    fail "no dialog \"$1\" on top (seen: $(probe dialogs))"
}
wait_no_dialog() {
    wait_for '^$' 15 dialogs >/dev/null || fail "a dialog stayed open: $(probe dialogs)"
}
# Rectangle "x y w h" of a control of the topmost dialog.
control_rect() { probe button "$1" | awk '{ print $2, $3, $4, $5 }'; }
click_control() {
    local r
    r=$(control_rect "$1")
    [ -n "$r" ] || fail "no control $1 in the topmost dialog"
    click_rect "$r"
}
click_list_item() {
    local r
    r=$(probe item "$1" "$2" | awk '{ print $2, $3, $4, $5 }')
    [ -n "$r" ] || fail "no item $2 in list $1"
    click_rect "$r"
}
# Position of a name in a list of names of the topmost dialog.
list_position() {
    probe list "$1" | sed -n 's/^items //p' | tr '|' '\n' | grep -nx "$2" | cut -d: -f1 | awk '{ print $1 - 1 }'
}
text_of() { probe text "$1" | sed 's/^text //'; }

# Waits for a PDF that was not there before and is completely written; prints its path.
wait_pdf() {
    local before=$1 f
    for _ in $(seq 600); do
        for f in "$MNEMORA_PRINT_OUTPUT"/*.pdf; do
            [ -e "$f" ] || continue
            grep -qxF "$f" "$before" && continue
            if tail -c 16 "$f" | grep -q '%%EOF'; then
                echo "$f"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# Chooses a card set in the bar, prints it through the dialog (clicking first the given dialog
# buttons, then OK) and leaves the document's path in PRINTED.
print_card_set() {
    local name=$1 before
    before=$(mktemp)
    shift
    click_rect "$(rect_of combo)"
    sleep 0.3
    xdotool type "${name:0:1}"
    xdotool key Return
    wait_for "^selected $name\$" 10 window >/dev/null || fail "choosing $name did not select it"
    ls "$MNEMORA_PRINT_OUTPUT"/*.pdf >"$before" 2>/dev/null || true
    xdotool key ctrl+p
    wait_for '^dialog Print\|' 20 dialogs >/dev/null || fail "Ctrl+P opened no print dialog"
    screenshot "print-dialog-$name"
    for button in "$@" 1; do
        click_dialog_button "$button"
        sleep 0.3
    done
    PRINTED=$(wait_pdf "$before") || fail "$name: no document was printed"
    rm -f "$before"
    if probe dialogs | grep -q '^dialog'; then
        screenshot "print-box-$name"
        fail "$name: a message box appeared: $(probe dialogs)"
    fi
}

# Waits for the program to end; its exit code is left in EXIT_CODE.
wait_exit() {
    EXIT_CODE=0
    for _ in $(seq 80); do kill -0 "$PROGRAM_PID" 2>/dev/null || break; sleep 0.25; done
    kill -0 "$PROGRAM_PID" 2>/dev/null && fail "the program did not end"
    wait "$PROGRAM_PID" || EXIT_CODE=$?
    PROGRAM_PID=
}

setting() {
    $MNEMORA_WINE reg query 'HKCU\Software\Quillon\Mnemora\Settings' /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v n="$1" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
