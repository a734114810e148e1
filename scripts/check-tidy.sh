#!/usr/bin/env bash
# Fails when clang-tidy finds anything in the project's sources (checks in .clang-tidy).
# Needs a configured build folder for its compile commands.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
log="$build/clang-tidy.log"
cd "$root"
git ls-files 'src/*.cpp' 'tools/*.cpp' 'tests/*.cpp' 'bench/*.cpp' |
    xargs -P"$(nproc)" -n4 clang-tidy -p "$build" --quiet >"$log" 2>&1
if grep -qE 'warning:|error:' "$log"; then
    grep -E -A3 'warning:|error:' "$log"
    echo "clang-tidy : des problèmes sont à corriger (voir $log)"
    exit 1
fi
echo "clang-tidy : OK"
