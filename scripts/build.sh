#!/usr/bin/env bash
# Installs what is missing, then configures and builds Corvane and its tests in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)"
