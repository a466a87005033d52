#!/usr/bin/env bash
# Whole-process figures of the display on an X display (run it under
# xvfb-run, or on a desktop):
#   launcher start to return (the window is ready), median and worst of RUNS;
#   append-to-screen latency: the window_latency benchmark, with the file
#   watch and with the 500 ms poll timer alone.
# Usage: bench/window-latency.sh BINDIR [RUNS]
set -u
bindir=$1; runs=${2:-20}
prog="$bindir/zorvad"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/common.sh"

: > "$work/launch.txt"
for i in $(seq "$runs"); do
  f="$work/l$i.zv"; : > "$f"
  t0=$(ms); "$prog" -d "$f"; t1=$(ms)
  echo $((t1 - t0)) >> "$work/launch.txt"
  printf '1 0 ' >> "$f"
  gone || echo "run $i: the display did not close"
done
echo "launcher start to return: median $(median < "$work/launch.txt") ms, worst $(worst < "$work/launch.txt") ms over $runs runs (goal <= 300 ms)"

# Append-to-screen latency, from the write returning to the pixel read back
# from the X server, with the file watch and with the poll timer alone, in
# the same run.
if [ -x "$bindir/window_latency" ]; then
  "$bindir/window_latency" --benchmark_counters_tabular=true
else
  echo "append-to-screen latency: $bindir/window_latency not built (needs libx11-dev)"
fi
