#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it under Wine in the game's own prefix,
# with the sample card sets when the player has none yet.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build="$root/build/play"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DMNEMORA_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target mnemora -- --no-print-directory >/dev/null

export WINEPREFIX=${MNEMORA_WINEPREFIX:-$HOME/.local/share/mnemora/wineprefix}
MNEMORA_KEEP_HOME_LINKS=1 "$root/scripts/prepare-wineprefix.sh" "$WINEPREFIX"
. "$root/scripts/wine-env.sh"
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
mkdir -p "$appdata"
if ! ls "$appdata"/*.mnc >/dev/null 2>&1; then
    bash "$root/samples/make-samples.sh" "$root/build/samples"
    cp -r "$root/build/samples/." "$appdata/"
    echo "Copied the sample card sets into $appdata"
fi

if [ -z "${DISPLAY:-}" ]; then
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
    for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -1 "$displayfile")"
    rm -f "$displayfile"
    echo "No display: playing on the private X display $DISPLAY (screenshot: import -display $DISPLAY -window root shot.png)"
fi
exec $MNEMORA_WINE "$build/mnemora.exe"
