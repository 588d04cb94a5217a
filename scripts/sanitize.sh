#!/usr/bin/env bash
# Builds the unit and integration tests a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan (no benchmarks) and runs them; the first report of
# either stops the test it happens in and fails the run. Arguments are passed on to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/build-asan"

cmake -S "$root" -B "$build" -G Ninja -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

# Reports from the libraries' own code (not ours) are listed, each with its reason, in
# scripts/sanitizers/.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_init_order=1:check_initialization_order=1:detect_stack_use_after_return=0}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/sanitizers/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

(cd "$build" && ctest --output-on-failure -j "$(nproc)" "$@")
