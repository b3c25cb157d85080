#!/usr/bin/env bash
# Checks the formatting (clang-format) and the static analysis (cppcheck) of every C++ file.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
status=0
unformatted=$(for f in $(git ls-files '*.cpp' '*.h'); do
    clang-format "$f" | cmp -s - "$f" || echo "$f"
done)
if [ -n "$unformatted" ]; then
    echo "not formatted (clang-format -i FILE):"
    echo "$unformatted"
    status=1
fi
cppcheck --enable=warning,performance,portability --std=c++17 --inline-suppr -q --error-exitcode=1 \
    -I . app cardset game media editor print zip sharing bench tests/support tests/tools || status=1
exit $status
