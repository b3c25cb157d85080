#!/usr/bin/env bash
# Installs what is missing, builds both architectures, checks formatting and static analysis and
# runs every test under Wine, in private Wine prefixes inside the build folders and on a private
# Xvfb display.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
started=$(date +%s)
bash "$root/scripts/install-deps.sh" || exit 1
. "$root/scripts/wine-env.sh"

for arch in x86_64 i686; do
    echo "== building $arch"
    "$root/scripts/build.sh" "$arch" || exit 1
done

# A private X display for the test windows, chosen by the server itself.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$displayfile")"
rm -f "$displayfile"
cleanup_steps=()
cleanup() {
    for step in "${cleanup_steps[@]}"; do eval "$step"; done
    for arch in x86_64 i686; do
        WINEPREFIX="$root/build/$arch/wineprefix" wineserver -k 2>/dev/null
    done
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT

# Services some tests need (an audio device, a print server): one script each, sourced here so
# that what they export reaches the tests and what they start is stopped with them.
for setup in "$root"/scripts/test-setup/*.sh; do
    [ -e "$setup" ] && . "$setup"
done

failed=0
echo "== formatting and static analysis"
bash "$root/scripts/lint.sh" || failed=1

for arch in x86_64 i686; do
    if [ "$arch" = i686 ] && [ "$MNEMORA_CAN_RUN_32BIT" = 0 ]; then
        echo "== i686: built without warnings; not run: this machine's kernel refuses 32-bit programs," \
            "so the 32-bit Wine cannot start"
        continue
    fi
    echo "== testing $arch"
    # One Wine server kept running for the whole run: each test program then starts in a fraction
    # of a second instead of bringing Wine up anew.
    "$root/scripts/prepare-wineprefix.sh" "$root/build/$arch/wineprefix"
    WINEPREFIX="$root/build/$arch/wineprefix" wineserver -p
    # Wine's background services start with the first program and outlive it; started here, they
    # hold no test's output open.
    WINEPREFIX="$root/build/$arch/wineprefix" $MNEMORA_WINE cmd /c exit </dev/null >/dev/null 2>&1
    ctest --test-dir "$root/build/$arch" --output-on-failure -j1 || failed=1
done
echo "== test command took $(($(date +%s) - started)) s"
exit $failed
