#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy: bugprone, use-after-move, dangling, performance) on
# the C++ sources changed against a base (default: main), or on the files given. Uses the compile
# commands of ./build, so build once first. Not part of the test command: run it before a commit.
#   scripts/tidy.sh              # files changed since main, committed or not
#   scripts/tidy.sh origin/main  # against another base
#   scripts/tidy.sh -- src/snapping/SnapController.cpp
set -euo pipefail
cd "$(dirname "$0")/.."
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
[ -f build/compile_commands.json ] || { echo "Build first: scripts/build.sh" >&2; exit 2; }
if [ "${1:-}" = "--" ]; then
  shift
  files=("$@")
else
  base=${1:-main}
  mapfile -t files < <( { git diff --name-only --diff-filter=ACMR "$(git merge-base "$base" HEAD)" -- '*.cpp';
                          git ls-files -o --exclude-standard -- '*.cpp'; } | sort -u)
fi
[ ${#files[@]} -gt 0 ] || { echo "No changed C++ sources."; exit 0; }
# Coroutine frames and Qt's meta-object code confuse some checks; only our own files are looked at.
"$tidy" -p build --quiet "${files[@]}"
