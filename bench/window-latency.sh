#!/usr/bin/env bash
# Whole-process figures of the display on an X display (run it under
# xvfb-run, or on a desktop):
#   launcher start to return (the window is ready), median and worst of RUNS;
#   append-to-screen latency: from a client's append of a line item to the
#   line's pixels in a screenshot, median and worst of TRIALS (the display
#   polls every 500 ms, so expect about 250 ms on average).
# Usage: bench/window-latency.sh BINDIR [RUNS] [TRIALS]
set -u
bindir=$1; runs=${2:-20}; trials=${3:-10}
prog="$bindir/zorvad"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
worst() { sort -n | tail -n 1; }
gone() {
  for _ in $(seq 100); do
    [ -z "$(xdotool search --onlyvisible --name '^ZORVA daemon$' 2>/dev/null)" ] && return 0
    sleep 0.05
  done
  return 1
}

: > "$work/launch.txt"
for i in $(seq "$runs"); do
  f="$work/l$i.zv"; : > "$f"
  t0=$(ms); "$prog" -d "$f"; t1=$(ms)
  echo $((t1 - t0)) >> "$work/launch.txt"
  printf '1 0 ' >> "$f"
  gone || echo "run $i: the display did not close"
done
echo "launcher start to return: median $(median < "$work/launch.txt") ms, worst $(worst < "$work/launch.txt") ms over $runs runs (goal <= 300 ms)"

f="$work/latency.zv"; : > "$f"
"$prog" -d "$f"
win=$(xdotool search --sync --onlyvisible --name '^ZORVA daemon$' | head -n 1)
printf '0 0 6 1 5 ' >> "$f"
sleep 1
h=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
: > "$work/lat.txt"
for i in $(seq "$trials"); do
  y=$((20 + 10 * i))
  sleep "0.$((RANDOM % 5))"  # land anywhere in the poll period
  t0=$(ms)
  printf '4 3 255 0 0 2 4 100 %d 300 %d ' "$y" "$y" >> "$f"
  for _ in $(seq 400); do
    import -window "$win" "$work/s.png" 2>/dev/null
    c=$(convert "$work/s.png" -crop "1x1+200+$((h - y))" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -n 1)
    [ "$c" = "#FF0000" ] && break
  done
  echo $(( $(ms) - t0 )) >> "$work/lat.txt"
done
printf '1 0 ' >> "$f"; gone
echo "append-to-screen latency: median $(median < "$work/lat.txt") ms, worst $(worst < "$work/lat.txt") ms over $trials trials (poll period 500 ms; screenshot granularity included)"
