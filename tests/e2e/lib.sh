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
