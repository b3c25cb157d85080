#!/usr/bin/env bash
# Prints the program's lines, the test suite's lines (support, tools and e2e scripts included;
# kept fuzz inputs are data and not counted) and their ratio, which the suite keeps at most 40 %.
# Each side counts its own build file: the program its CMakeLists.txt, toolchains and installer
# script, the suite tests/CMakeLists.txt. The benchmark program is neither.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
count() { git ls-files "$@" | grep -Ev '/corpus/' | grep -E '\.(cpp|h|rc|manifest|sh|py|cmake|nsi)$|CMakeLists\.txt$' |
    xargs -r cat | wc -l; }
program=$(count CMakeLists.txt cmake installer app cardset game media editor print res zip sharing wordlist)
tests=$(count tests)
echo "== lines: program $program, tests $tests ($((100 * tests / program)) %, at most 40 %)"
