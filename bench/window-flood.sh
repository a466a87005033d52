#!/usr/bin/env bash
# Whole-process figures of a display that a client floods with line items
# (run it under xvfb-run, or on a desktop), each beside the idle display:
#   close: from a window manager's close request to the window's end;
#   menu: from Alt+E to the popup on the screen.
# Median and worst of RUNS (each a fresh display). Goal during the flood:
# both within 200 ms.
# Usage: bench/window-flood.sh BINDIR [RUNS]
set -u
bindir=$1; runs=${2:-5}
prog="$bindir/zorvad"; wmdelete="$bindir/wm-delete"
work=$(mktemp -d)
writer=
trap '[ -n "$writer" ] && kill "$writer" 2>/dev/null; rm -rf "$work"' EXIT

. "$(dirname "$0")/common.sh"

start() {  # flood|idle; sets pid, win, f
  f="$work/f.zv"; : > "$f"
  "$prog" "$f" & pid=$!
  win=$(xdotool search --sync --onlyvisible --name '^ZORVA daemon$' | head -n 1)
  if [ "$1" = flood ]; then
    ( yes '2 4 10 20 300 200 ' | head -c 1500000000 >> "$f" ) & writer=$!
    sleep 1
  fi
}
stop() {
  wait "$pid" 2>/dev/null
  [ -n "$writer" ] && kill "$writer" 2>/dev/null; writer=
  rm -f "$f"
}

measure() {  # flood|idle
  : > "$work/close.$1"; : > "$work/menu.$1"
  for i in $(seq "$runs"); do
    start "$1"
    t0=$(ms); "$wmdelete" "$win"; gone
    echo $(( $(ms) - t0 )) >> "$work/close.$1"
    stop
  done
  # Each menu on a fresh display: closing a menu uncovers the window, and
  # the replay of the whole list that follows is not cut into slices.
  for i in $(seq "$runs"); do
    start "$1"
    menuMs "$win" 20000 >> "$work/menu.$1"
    "$wmdelete" "$win"; gone; stop
  done
  echo "$1: close median $(median < "$work/close.$1") ms, worst $(worst < "$work/close.$1") ms; menu median $(median < "$work/menu.$1") ms, worst $(worst < "$work/menu.$1") ms over $runs runs (each figure includes about one xdotool call)"
}
measure idle
measure flood
