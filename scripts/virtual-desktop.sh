#!/usr/bin/env bash
# Runs a program inside a private virtual desktop: Xvfb with Composite and RandR, the openbox
# window manager, a tray host and two X programs to manage. Everything stops with the program,
# or with the program that took its place: one that relaunches itself keeps the desktop.
# Usage: virtual-desktop.sh PROGRAM [ARGS...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
config="$here/../tests/integration/support/openbox-rc.xml"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp +extension Composite +extension RANDR \
  3>"$displayfile" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$displayfile")"
rm -f "$displayfile"
cat >&2 <<EOF
Virtual desktop started on display $DISPLAY (Xvfb, 1920x1080; nothing shows on your screen).
Take a look at it from another terminal with a screenshot:
  DISPLAY=$DISPLAY python3 $here/screen-picture.py shot.png
EOF

openbox --config-file "$config" >/dev/null 2>&1 &
pids+=($!)
# The tray maps once the window manager runs, so that its rules (the tray on every desktop) hold.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
# The strut keeps maximised and snapped windows off the tray (trayer sets none unless asked).
# openbox names itself a moment before it manages windows, and a window mapped in that moment is
# never managed: the tray is started again until openbox lists it, and only then the programs.
tray=
for _ in $(seq 10); do
  trayer --edge top --align right --SetDockType true --SetPartialStrut true --widthtype request --height 24 \
    >/dev/null 2>&1 &
  tray=$!
  for _ in $(seq 20); do wmctrl -lx 2>/dev/null | grep -q trayer && break 2; sleep 0.1; done
  kill "$tray" 2>/dev/null || true
  wait "$tray" 2>/dev/null || true
done
pids+=($tray)
xterm -geometry 80x24+200+150 >/dev/null 2>&1 &
pids+=($!)
xclock -geometry 200x200+900+200 >/dev/null 2>&1 &
pids+=($!)

export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-disabled:}"
# Every process the program starts inherits this mark, the successor of a relaunch included;
# the desktop and its programs above were started without it.
mark="$DISPLAY.$$"
export CORVANE_VIRTUAL_DESKTOP="$mark"
status=0
"$@" || status=$?
# A relaunched program starts once the first has gone: the desktop stays while a marked process
# runs. The search itself runs without the mark. A process shows no environment while it execs
# (the relauncher's shell becoming the program, say), so the mark counts as gone only once three
# looks in a row have missed it.
missed=0
while [ "$missed" -lt 3 ]; do
  if env -u CORVANE_VIRTUAL_DESKTOP grep -qsxzF "CORVANE_VIRTUAL_DESKTOP=$mark" /proc/[0-9]*/environ; then
    missed=0
  else
    missed=$((missed + 1))
  fi
  sleep 0.2
done
exit "$status"
