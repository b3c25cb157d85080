#!/usr/bin/env bash
# Configures and builds one architecture (x86_64 or i686) into build/<arch>.
set -euo pipefail
arch=${1:-x86_64}
shift || true
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/$arch"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" -- --no-print-directory
