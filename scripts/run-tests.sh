#!/usr/bin/env bash
# Runs the tests of one architecture already built by scripts/build.sh, under Wine in the build
# folder's private prefix, on a private Xvfb display, with the services of scripts/test-setup
# (audio device, print server). Further arguments go to ctest, for example: -R '^PrintLayout'.
#   bash scripts/run-tests.sh x86_64 [ctest arguments...]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${1:?usage: run-tests.sh x86_64|i686 [ctest arguments...]}
shift
. "$root/scripts/wine-env.sh"
prefix="$root/build/$arch/wineprefix"

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
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT

# Services some tests need: one script each, sourced here so that what they export reaches the
# tests and what they start is stopped with them.
for setup in "$root"/scripts/test-setup/*.sh; do
    [ -e "$setup" ] && . "$setup"
done

"$root/scripts/prepare-wineprefix.sh" "$prefix"
# One Wine server kept running for the whole run: each test program then starts in a fraction of
# a second instead of bringing Wine up anew. Wine's background services start with the first
# program and outlive it; started here, they hold no test's output open.
WINEPREFIX="$prefix" wineserver -p
WINEPREFIX="$prefix" $MNEMORA_WINE cmd /c exit </dev/null >/dev/null 2>&1
ctest --test-dir "$root/build/$arch" --output-on-failure -j1 "$@"
