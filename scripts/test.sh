#!/usr/bin/env bash
# Installs what is missing, checks the include layers and the formatting, builds everything with
# warnings as errors and runs every test: the unit tests headless on the fake platform, and the
# integration tests, each against its own Xvfb with openbox and real X programs (started and
# stopped by the tests themselves); then the same tests built again with AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh, in build-asan); then each fuzz target for a
# bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
python3 scripts/check-includes.py
bash scripts/check-format.sh
bash scripts/build.sh
bash scripts/ctest.sh build "$@"
bash scripts/sanitize.sh "$@"
bash scripts/fuzz.sh
