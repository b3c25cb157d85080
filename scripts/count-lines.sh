#!/usr/bin/env bash
# Prints the program's lines, the test suite's lines (support, tools and e2e scripts included;
# kept fuzz inputs are data and not counted) and their ratio, which the suite keeps at most 40 %.
# Source and scripts count; resources, build files (CMakeLists.txt, toolchains, the installer
# script) and the benchmark program count on neither side.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
count() { git ls-files "$@" | grep -Ev '/corpus/' | grep -E '\.(cpp|h|sh|py)$' |
    xargs -r cat | wc -l; }
program=$(count app cardset game media editor print res zip sharing wordlist)
tests=$(count tests)
echo "== lines: program $program, tests $tests ($((100 * tests / program)).$((1000 * tests / program % 10)) %, at most 40 %)"
