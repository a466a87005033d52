#!/usr/bin/env bash
# Whole-process figures of a display window holding N texts, each after a
# text-height item cycling through 192 heights (8 to 199 pixels): large
# text in many fonts, which every replay of the window's list draws again.
#   load: from the display's start until it has drawn the whole file (it
#         has used no processor time for 300 ms; those are not counted);
#   close: from a window manager's close request, sent right after the
#         window was hidden and shown again, to the window's end;
#   menu: from Alt+E, sent right after the window was shown again, to the
#         popup on the screen;
#   live close: the close request while a writer appends more such texts.
# Median and worst of RUNS, each a fresh display. Run it under xvfb-run (or
# on a desktop).
# Usage: bench/window-repaint.sh BINDIR [N] [RUNS]
set -u
bindir=$1; n=${2:-20000}; runs=${3:-3}
prog="$bindir/zorvad"; wmdelete="$bindir/wm-delete"
[ -x "$prog" ] && [ -x "$wmdelete" ] || { echo "$0: no zorvad or wm-delete in $bindir" >&2; exit 1; }
work=$(mktemp -d)
pid=; writer=
trap '[ -n "$writer" ] && kill "$writer" 2>/dev/null; [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

awk -v n="$n" 'BEGIN {
  srand(3)
  for (i = 0; i < n; i++) {
    s = "Label " (i * 37 % 1000)
    printf "8 1 %d 3 4 %d %d %d %s", 8 + i % 192, int(rand() * 1720), int(rand() * 1080), length(s), s
  }
}' > "$work/texts.zv"

. "$(dirname "$0")/common.sh"
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null; }
# Waits until the display has used no processor time for 300 ms.
settle() {
  local last now
  last=$(cpu)
  while sleep 0.3; now=$(cpu); [ -n "$now" ] && [ "$now" != "$last" ]; do last=$now; done
}
# A fresh display on the texts; sets pid and win, appends the load time to
# the file $1.
start() {
  f="$work/f.zv"; cp "$work/texts.zv" "$f"
  local t0; t0=$(ms)
  "$prog" "$f" & pid=$!
  win=$(xdotool search --sync --onlyvisible --name '^ZORVA daemon$' | head -n 1)
  settle
  echo $(( $(ms) - t0 - 300 )) >> "$1"
}
uncover() { xdotool windowunmap --sync "$win"; xdotool windowmap --sync "$win"; }
stop() {
  [ -n "$writer" ] && kill "$writer" 2>/dev/null; writer=
  "$wmdelete" "$win" 2>/dev/null; gone
  wait "$pid" 2>/dev/null; pid=
}

for k in load close menu live; do : > "$work/$k"; done
for _ in $(seq "$runs"); do
  start "$work/load"
  uncover
  t0=$(ms); "$wmdelete" "$win"; gone
  echo $(( $(ms) - t0 )) >> "$work/close"
  wait "$pid" 2>/dev/null; pid=

  start "$work/load"
  uncover
  menuMs "$win" >> "$work/menu"
  stop

  start "$work/load"
  ( for _ in $(seq 1000); do cat "$work/texts.zv" || exit; done >> "$f" ) & writer=$!
  sleep 2
  t0=$(ms); "$wmdelete" "$win"; gone
  echo $(( $(ms) - t0 )) >> "$work/live"
  stop
done
for k in load close menu live; do
  printf '%-6s median %6d ms, worst %6d ms\n' "$k" "$(median < "$work/$k")" "$(worst < "$work/$k")"
done
echo "($n texts, $runs runs; close and menu each include about one xdotool call)"
