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

# Leaks are not looked for yet: a test that ends while a coroutine sleeps on its scheduler leaves
# that coroutine's frame (and the timer entry it shares with it) behind at exit, which
# LeakSanitizer reports from nearly every test binary. Every other report fails the run.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:strict_init_order=1:check_initialization_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

bash "$root/scripts/ctest.sh" "$build" "$@"
