#!/usr/bin/env bash
# Builds Corvane (the application alone, not the tests) and runs it on the current X display.
# Without one, it starts a self-contained virtual desktop (Xvfb, openbox, a tray and a few X
# programs) and runs Corvane inside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target corvane
binary="$PWD/build/src/corvane"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$binary" "$@"
fi

echo "No X display: starting a virtual desktop for Corvane." >&2
exec bash scripts/virtual-desktop.sh "$binary" "$@"
