#!/usr/bin/env bash
# Corvane's processor time while idle with the strip shown, with COUNT other windows on the
# desktop: the CPU time /proc/<pid>/schedstat gives over SECONDS, per second.
# Usage: benchmarks/idle-cpu.sh COUNT [SECONDS]   (build/src/corvane must be built)
set -euo pipefail
count="${1:?how many windows}"
seconds="${2:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
binary="$root/build/src/corvane"
home=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT INT TERM

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp +extension Composite +extension RANDR \
  3>"$displayfile" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$displayfile")"
rm -f "$displayfile"
openbox --config-file "$root/tests/integration/support/openbox-rc.xml" >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

# The windows, side by side in rows, each large enough for the strip to keep.
for i in $(seq 0 $((count - 1))); do
  xlogo -geometry "160x130+$(((i % 10) * 170 + 100))+$(((i / 10 % 7) * 140 + 20))" >/dev/null 2>&1 &
  pids+=($!)
done
clients() { xprop -root _NET_CLIENT_LIST 2>/dev/null | tr ',' '\n' | grep -c 0x || true; }
for _ in $(seq 600); do [ "$(clients)" -ge "$count" ] && break; sleep 0.1; done

mkdir -p "$home/config" "$home/data" "$home/run"
chmod 700 "$home/run"
XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" \
  DBUS_SESSION_BUS_ADDRESS="disabled:" QT_QPA_PLATFORM=xcb \
  "$binary" -hasCompletedOnboarding YES -autoHide NO >"$home/corvane.log" 2>&1 &
corvane=$!
pids+=($corvane)
# Start-up, the first thumbnails and the first sweeps are not idle.
sleep 15
cpu() { awk '{print $1}' "/proc/$corvane/schedstat"; }
before=$(cpu)
[ -n "${IDLE_HOLD:-}" ] && { echo "pid=$corvane display=$DISPLAY"; sleep "$IDLE_HOLD"; }
sleep "$seconds"
after=$(cpu)
echo "windows=$(clients) cpu_ms_per_s=$(awk -v a="$after" -v b="$before" -v s="$seconds" 'BEGIN{printf "%.3f", (a-b)/1e6/s}')"
