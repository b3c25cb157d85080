#!/usr/bin/env bash
# Runs a Windows program of a build folder under Wine, in that build folder's own prefix.
# CTest uses it as the emulator; it never touches the user's own Wine prefix.
set -u
exe=$1
dir=$(cd "$(dirname "$exe")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
if [ ! -f "$dir/CMakeCache.txt" ]; then
    echo "wine-exec: $exe is not inside a build folder" >&2
    exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="$dir/wineprefix"
"$here/prepare-wineprefix.sh" "$WINEPREFIX" >&2 || exit 2
. "$here/wine-env.sh"
exec $MNEMORA_WINE "$@"
