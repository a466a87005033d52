#!/usr/bin/env bash
# Whole-process figures of a display window holding N short line items
# (10 million unless given), at device pixel ratio RATIO (1 unless given):
#   load: from the display's start until it has drawn the whole file and
#         used no processor time for 300 ms (those not counted);
#   resize: from a resize of the window until the display has used no
#         processor time for 200 ms (those not counted), that is until its
#         picture is complete and it is idle again;
#   close: from a window manager's close request, sent right after a
#         resize, to the window's end.
# Median and worst of RUNS resizes; one display for the resizes, a fresh
# one for each close. Run it under xvfb-run (or on a desktop).
# Usage: bench/window-resize.sh BINDIR [N] [RUNS] [RATIO]
set -u
bindir=$1; n=${2:-10000000}; runs=${3:-5}; ratio=${4:-1}
prog="$bindir/zorvad"; wmdelete="$bindir/wm-delete"
[ -x "$prog" ] && [ -x "$wmdelete" ] || { echo "$0: no zorvad or wm-delete in $bindir" >&2; exit 1; }
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

# A start item, then short segments (within 10 pixels each way) all over a
# 1200 x 800 area.
awk -v n="$n" 'BEGIN {
  srand(5); printf "0 0 "
  for (i = 0; i < n; i++) {
    x = int(rand() * 1200); y = int(rand() * 800)
    printf "2 4 %d %d %d %d ", x, y, x + int(rand() * 21) - 10, y + int(rand() * 21) - 10
  }
}' > "$work/lines.zv"

. "$(dirname "$0")/common.sh"
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null; }
# Milliseconds from $1 (ms since the epoch) until the display has used no
# processor time for $2 ms; the quiet time itself is not counted.
busyUntilQuiet() {
  local t0=$1 quiet=$2 last now changed
  last=$(cpu); changed=$(ms)
  while :; do
    now=$(cpu)
    [ -z "$now" ] && break
    if [ "$now" != "$last" ]; then last=$now; changed=$(ms); fi
    [ $(( $(ms) - changed )) -ge "$quiet" ] && break
    sleep 0.005
  done
  echo $(( changed - t0 ))
}
start() {
  f="$work/f.zv"; cp "$work/lines.zv" "$f"
  local t0; t0=$(ms)
  QT_SCALE_FACTOR=$ratio "$prog" "$f" & pid=$!
  win=$(xdotool search --sync --onlyvisible --name '^ZORVA daemon$' | head -n 1)
  busyUntilQuiet "$t0" 300 >> "$work/load"
}
stop() { "$wmdelete" "$win" 2>/dev/null; gone; wait "$pid" 2>/dev/null; pid=; }

: > "$work/load"; : > "$work/resize"; : > "$work/close"
start
sizes=("1000 700" "1200 850" "800 600" "1100 760")
for i in $(seq "$runs"); do
  t0=$(ms); xdotool windowsize "$win" ${sizes[$((i % 4))]}
  busyUntilQuiet "$t0" 200 >> "$work/resize"
done
stop
for i in $(seq "$runs"); do
  start
  xdotool windowsize "$win" ${sizes[$((i % 4))]}
  t0=$(ms); "$wmdelete" "$win"; gone
  echo $(( $(ms) - t0 )) >> "$work/close"
  wait "$pid" 2>/dev/null; pid=
done
for k in load resize close; do
  printf '%-6s median %6d ms, worst %6d ms\n' "$k" "$(median < "$work/$k")" "$(worst < "$work/$k")"
done
echo "($n line items, ratio $ratio, $runs runs)"
