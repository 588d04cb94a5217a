#!/usr/bin/env bash
# Builds Corvane and runs it on the current X display. Without one, it starts a self-contained
# virtual desktop (Xvfb, openbox, a tray and a few X programs) and runs Corvane inside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
binary="$PWD/build/src/corvane"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$binary" "$@"
fi

echo "No X display: starting a virtual desktop for Corvane." >&2
exec bash scripts/virtual-desktop.sh "$binary" "$@"
