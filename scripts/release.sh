#!/usr/bin/env bash
# The release: builds both architectures, runs every test, then writes the installer, the
# portable archives and their checksums into dist/ (or the folder given).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/test.sh"
bash "$root/scripts/make-dist.sh" "${1:-$root/dist}"
