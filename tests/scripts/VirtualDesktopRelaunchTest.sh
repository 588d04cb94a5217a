#!/usr/bin/env bash
# The virtual desktop of scripts/run.sh outlives a relaunch: a program that relaunches itself as
# "Relaunch Corvane" does (a detached shell waits until the program has gone, then starts it
# again) finds the same display alive, and the desktop stops once the new process stops. Its
# tray is on every desktop.
# Usage: VirtualDesktopRelaunchTest.sh path/to/virtual-desktop.sh
set -euo pipefail
desktop_script=$1
work=$(mktemp -d)
export WORK="$work"
desktop_pid=
finish() {
  touch "$work/stop"
  [ -n "$desktop_pid" ] && kill "$desktop_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

cat >"$work/program.sh" <<'PROGRAM'
#!/bin/sh
if [ ! -e "$WORK/first" ]; then
  echo "$DISPLAY" >"$WORK/first"
  setsid sh -c 'while kill -0 "$1" 2>/dev/null; do sleep 0.1; done; exec "$0"' "$0" "$$" &
  exit 0
fi
echo "$DISPLAY $$" >"$WORK/second"
while [ ! -e "$WORK/stop" ]; do
  xdpyinfo >/dev/null 2>&1 || { echo "display lost" >"$WORK/lost"; exit 1; }
  sleep 0.2
done
PROGRAM
chmod +x "$work/program.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
wait_for() { # seconds, command...
  local tries=$(($1 * 10)); shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}

bash "$desktop_script" "$work/program.sh" &
desktop_pid=$!
wait_for 30 test -s "$work/second" || fail "no new process after the relaunch"
read -r display pid <"$work/second"
[ "$display" = "$(cat "$work/first")" ] || fail "the new process runs on $display, not $(cat "$work/first")"
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the new process is gone"
[ ! -e "$work/lost" ] || fail "the new process lost the display"
DISPLAY=$display xdpyinfo >/dev/null 2>&1 || fail "the display is gone"
kill -0 "$desktop_pid" 2>/dev/null || fail "the desktop script ended with the first process"
wait_for 30 sh -c "DISPLAY=$display wmctrl -lx | grep -q '^0x[0-9a-f]* *-1 .*trayer'" ||
  fail "the tray is not on every desktop: $(DISPLAY=$display wmctrl -lx)"

# Once the new process stops, so does the desktop
touch "$work/stop"
wait_for 20 sh -c "! kill -0 $desktop_pid 2>/dev/null" || fail "the desktop outlived the last process"
status=0
wait "$desktop_pid" || status=$?
desktop_pid=
[ "$status" = 0 ] || fail "the desktop script answered $status"
! DISPLAY=$display xdpyinfo >/dev/null 2>&1 || fail "the display outlived the desktop script"
echo "PASS"
