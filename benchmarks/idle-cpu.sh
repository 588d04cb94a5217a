#!/usr/bin/env bash
# Corvane's processor time while idle with the strip shown, with COUNT other windows on the
# desktop: the CPU time /proc/<pid>/schedstat gives over SECONDS, per second, for the main thread
# and for all threads together. SOUND "on" gives it a sound server of its own (a silent output),
# "off" (the default) none at all.
# Usage: benchmarks/idle-cpu.sh COUNT [SECONDS] [SOUND]   (build/src/corvane must be built, or
# CORVANE_BINARY names the program)
set -euo pipefail
unset PULSE_SERVER
count="${1:?how many windows}"
seconds="${2:-60}"
sound="${3:-off}"
root="$(cd "$(dirname "$0")/.." && pwd)"
# On a private virtual desktop of its own (which also shows an xterm and a clock).
if [ -z "${IDLE_CPU_DESKTOP:-}" ]; then
  IDLE_CPU_DESKTOP=1 exec bash "$root/scripts/virtual-desktop.sh" bash "$0" "$@" 2>/dev/null
fi
binary="${CORVANE_BINARY:-$root/build/src/corvane}"
home=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT INT TERM

# The windows, side by side in rows, each large enough for the strip to keep.
for i in $(seq 0 $((count - 1))); do
  xlogo -geometry "160x130+$(((i % 10) * 170 + 100))+$(((i / 10 % 7) * 140 + 20))" >/dev/null 2>&1 &
  pids+=($!)
done
clients() { xprop -root _NET_CLIENT_LIST 2>/dev/null | tr ',' '\n' | grep -c 0x || true; }
# Waits for the window manager to list them all, told by each change of its list.
exec 3< <(xprop -root -spy _NET_CLIENT_LIST 2>/dev/null)
spy=$!
while read -r -t 60 line <&3; do
  [ "$(grep -o 0x <<<"$line" | wc -l)" -ge "$count" ] && break
done
kill "$spy" 2>/dev/null || true
exec 3<&-

mkdir -p "$home/config" "$home/data" "$home/run"
chmod 700 "$home/run"
if [ "$sound" = on ]; then
  # Where the session's server listens: $XDG_RUNTIME_DIR/pulse/native.
  mkdir -p "$home/run/pulse"
  HOME="$home" XDG_RUNTIME_DIR="$home/run" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --log-level=error -L module-null-sink -L "module-native-protocol-unix socket=$home/run/pulse/native" \
    >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -S "$home/run/pulse/native" ] && break; sleep 0.05; done
fi
XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" \
  DBUS_SESSION_BUS_ADDRESS="disabled:" QT_QPA_PLATFORM=xcb \
  "$binary" -hasCompletedOnboarding YES -autoHide NO >"$home/corvane.log" 2>&1 &
corvane=$!
pids+=($corvane)
# Start-up, the first thumbnails and the first sweeps are not idle.
sleep 15
main() { awk '{print $1}' "/proc/$corvane/schedstat"; }
# Threads that end take their time with them; the pools here live as long as the process.
all() { cat /proc/"$corvane"/task/*/schedstat | awk '{sum += $1} END {print sum}'; }
main0=$(main)
all0=$(all)
sleep "$seconds"
main1=$(main)
all1=$(all)
rate() { awk -v b="$1" -v a="$2" -v s="$seconds" 'BEGIN{printf "%.3f", (a-b)/1e6/s}'; }
echo "windows=$(clients) sound=$sound main_ms_per_s=$(rate "$main0" "$main1") all_ms_per_s=$(rate "$all0" "$all1")"
