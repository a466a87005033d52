#!/usr/bin/env bash
# zorva-render against gnuplot's png terminal: both draw the same N short
# line segments (written from one seed; each within 20 pixels of its start
# each way) into a 1920x1080 PNG, whole process timed, median of RUNS runs
# each.
# Usage: bench/compare-gnuplot.sh BINDIR [N] [RUNS] [SEED]
set -euo pipefail
bindir=$1; n=${2:-1000000}; runs=${3:-5}; seed=${4:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One seed, two inputs: the command file and gnuplot's segment data.
awk -v n="$n" -v seed="$seed" -v zv="$work/lines.zv" -v dat="$work/lines.dat" 'BEGIN {
  srand(seed)
  print "0 0 " > zv
  for (i = 0; i < n; i++) {
    x = int(rand() * 1880) + 20; y = int(rand() * 1040) + 21
    dx = int(rand() * 41) - 20; dy = int(rand() * 41) - 20
    printf "2 4 %d %d %d %d \n", x, y, x + dx, y + dy > zv
    printf "%d %d\n%d %d\n\n", x, y, x + dx, y + dy > dat
  }
}'
cat > "$work/plot.gp" <<GP
set terminal png size 1920,1080 background "#000000"
set output "$work/gnuplot.png"
unset key; unset border; unset tics
set margins 0,0,0,0
set xrange [0:1920]; set yrange [0:1080]
plot "$work/lines.dat" with lines lc rgb "#ffffff" notitle
GP

. "$(dirname "$0")/common.sh"
timeit() {  # prints seconds of one run of the command
  local t0 t1; t0=$(date +%s.%N); "$@" > /dev/null 2>&1; t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}

# The two alternate, so that a busy spell of the machine slows both.
: > "$work/z.times"; : > "$work/g.times"
for _ in $(seq "$runs"); do
  timeit "$bindir/zorva-render" --size 1920x1080 -o "$work/zorva.png" "$work/lines.zv" >> "$work/z.times"
  timeit gnuplot "$work/plot.gp" >> "$work/g.times"
done
z=$(median < "$work/z.times")
g=$(median < "$work/g.times")
printf 'segments: %d\nzorva-render: %.3f s\ngnuplot png: %.3f s\nratio zorva/gnuplot: %.3f (goal <= 0.3)\n' \
  "$n" "$z" "$g" "$(echo "$z / $g" | bc -l)"
