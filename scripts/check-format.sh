#!/usr/bin/env bash
# Fails when a C++ file differs from what the repository's .clang-format makes of it. The tree is
# formatted with clang-format 14 (Debian 12's); another version may format differently.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format)
git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'benchmarks/*.cpp' 'benchmarks/*.h' 'fuzz/*.cpp' 'fuzz/*.h' |
  xargs -r "$format" --dry-run --Werror
