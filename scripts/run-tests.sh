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

. "$root/scripts/test-session.sh"

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
