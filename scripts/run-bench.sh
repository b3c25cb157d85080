#!/usr/bin/env bash
# Runs the benchmark program of one architecture already built by scripts/build.sh, as the tests
# run: under Wine in the build folder's private prefix, on a private Xvfb display, with the audio
# device of scripts/test-setup and the test media made.
#   bash scripts/run-bench.sh x86_64|i686 [part of a measurement's name]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${1:?usage: run-bench.sh x86_64|i686}
build="$root/build/$arch"
. "$root/scripts/wine-env.sh"
prefix="$build/wineprefix"
bash "$root/scripts/make-test-media.sh" "$build/test-media"
. "$root/scripts/test-session.sh"
. "$root/scripts/test-setup/audio.sh"
"$root/scripts/prepare-wineprefix.sh" "$prefix"
WINEPREFIX="$prefix" wineserver -p
WINEPREFIX="$prefix" $MNEMORA_WINE cmd /c exit </dev/null >/dev/null 2>&1
cd "$build" && WINEPREFIX="$prefix" $MNEMORA_WINE "$build/mnemora_bench.exe" "${@:2}"
