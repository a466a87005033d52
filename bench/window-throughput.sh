#!/usr/bin/env bash
# Live throughput: the rate at which line items go from the command file to
# the screen in the real display window while a writer appends them, against
# the same items through zorva-render (whole process, -o out.png, the file
# complete beforehand). The writer appends N items in pieces of 64 KiB and
# then an exit item; the window's figure runs from the writer's start to the
# display's end, so it covers reading, parsing, storing and drawing every
# item on the screen. Median of RUNS. Run it under xvfb-run (or on a desktop).
# Usage: bench/window-throughput.sh BINDIR [N] [RUNS]
set -euo pipefail
bindir=$1; n=${2:-2000000}; runs=${3:-3}
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

awk -v n="$n" 'BEGIN {
  for (i = 0; i < n; i++) printf "2 4 %d %d %d %d \n", i % 797, i % 577, (i * 7) % 797, (i * 3) % 577
}' > "$work/items.zv"
printf '1 0 ' > "$work/exit.zv"

ns() { date +%s%N; }
. "$(dirname "$0")/common.sh"

: > "$work/window"; : > "$work/render"
for _ in $(seq "$runs"); do
  f="$work/live.zv"; : > "$f"
  "$bindir/zorvad" "$f" & pid=$!
  xdotool search --sync --onlyvisible --name '^ZORVA daemon$' > /dev/null
  t0=$(ns)
  dd if="$work/items.zv" bs=64K status=none oflag=append conv=notrunc of="$f"
  cat "$work/exit.zv" >> "$f"
  wait "$pid"; pid=
  echo $(( $(ns) - t0 )) >> "$work/window"

  cat "$work/items.zv" "$work/exit.zv" > "$work/whole.zv"
  t0=$(ns)
  "$bindir/zorva-render" -o "$work/out.png" "$work/whole.zv" > /dev/null
  echo $(( $(ns) - t0 )) >> "$work/render"
done
w=$(median < "$work/window"); r=$(median < "$work/render")
awk -v n="$n" -v w="$w" -v r="$r" 'BEGIN {
  printf "items: %d\nwindow: %.3f s, %.0f items/s\nzorva-render: %.3f s, %.0f items/s\nratio window/zorva-render rate: %.3f\n",
    n, w / 1e9, n / (w / 1e9), r / 1e9, n / (r / 1e9), r / w
}'
