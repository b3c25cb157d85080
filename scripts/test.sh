#!/usr/bin/env bash
# Installs what is missing, builds both architectures, checks formatting and static analysis and
# runs every test under Wine (scripts/run-tests.sh: private Wine prefixes inside the build folders,
# a private Xvfb display, a private audio device and print server).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
started=$(date +%s)
bash "$root/scripts/install-deps.sh" || exit 1
. "$root/scripts/wine-env.sh"

for arch in x86_64 i686; do
    echo "== building $arch"
    "$root/scripts/build.sh" "$arch" || exit 1
done

failed=0
echo "== formatting and static analysis"
bash "$root/scripts/lint.sh" || failed=1

for arch in x86_64 i686; do
    if [ "$arch" = i686 ] && [ "$MNEMORA_CAN_RUN_32BIT" = 0 ]; then
        echo "== i686: built without warnings; not run: the 32-bit Wine loader cannot start here" \
            "(${MNEMORA_32BIT_REFUSAL##*: })"
        continue
    fi
    echo "== testing $arch"
    bash "$root/scripts/run-tests.sh" "$arch" || failed=1
done
bash "$root/scripts/count-lines.sh"
echo "== test command took $(($(date +%s) - started)) s"
exit $failed
