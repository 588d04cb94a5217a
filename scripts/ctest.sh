#!/usr/bin/env bash
# Runs the tests of one build folder (the first argument; the rest go to ctest), as many at once as
# there are processors, the longest first. ctest learns each test's time in the build folder; that
# record is also kept beside the compiler cache, so that a fresh clone on this machine starts with
# the slowest tests too instead of finding them last, when nothing else is left to overlap them.
set -euo pipefail
build="$1"
shift
record="${XDG_CACHE_HOME:-$HOME/.cache}/corvane/test-times-$(basename "$build").txt"
local_record="$build/Testing/Temporary/CTestCostData.txt"
if [ -f "$record" ] && [ ! -f "$local_record" ]; then
  mkdir -p "$(dirname "$local_record")"
  cp "$record" "$local_record"
fi
status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)" "$@") || status=$?
if [ -f "$local_record" ]; then
  mkdir -p "$(dirname "$record")"
  cp "$local_record" "$record" || true
fi
exit "$status"
