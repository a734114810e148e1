#!/usr/bin/env bash
# Fails when a source file does not follow .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tools tests bench -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror $files
echo "Format : OK"
