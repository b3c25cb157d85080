#!/usr/bin/env bash
# The whole game on the real program under the test display: the sample card set "Shapes" is
# chosen with the mouse and keyboard, 4 x 4 is pressed and the game is played with mouse clicks
# until the board is dealt anew. Screenshots go to <build dir>/e2e-game and are checked there.
# Usage: game_e2e.sh <path of mnemora.exe> <build dir>
set -euo pipefail
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
: "${DISPLAY:?the test display is not set}"

shots="$build/e2e-game"
rm -rf "$shots"
mkdir -p "$shots"
export WINEPREFIX="$build/wineprefix"
"$root/scripts/prepare-wineprefix.sh" "$WINEPREFIX"
. "$root/scripts/wine-env.sh"

# The player's data: only the sample card sets, default settings.
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
mkdir -p "$appdata"
rm -f "$appdata"/*.mnc
cp -r "$root/samples/." "$appdata/"
$MNEMORA_WINE reg delete 'HKCU\SOFTWARE\Quillon\Mnemora' /f >/dev/null 2>&1 || true

$MNEMORA_WINE "$exe" >"$shots/program.log" 2>&1 &
program=$!
finish() {
    if kill -0 "$program" 2>/dev/null; then
        xdotool key --clearmodifiers alt+g x 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
        kill "$program" 2>/dev/null || true
    fi
}
trap finish EXIT

# The main window appears at the top left once the program has started.
for _ in $(seq 300); do
    xdotool search --name '^Mnemora$' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1
python3 "$here/game_player.py" "$shots" Shapes
echo "screenshots in $shots"
