#!/usr/bin/env bash
# Font changes and large text as whole processes: zorva-render -o out.png
# over 2,000 short texts in one 16-pixel cell height, and over the same
# texts with a text-height item before each, cycling through 192 heights
# (8 to 199 pixels). Both draw white text after a start item, so each text
# is drawn as it arrives and again in the start item's replay. Runs
# alternate; each side's median of RUNS, as wall time and as processor time
# (user + system).
# Usage: bench/compare-fonts.sh BINDIR [RUNS] [SEED]
set -euo pipefail
bindir=$1; runs=${2:-5}; seed=${3:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v seed="$seed" -v one="$work/one.zv" -v cycling="$work/cycling.zv" 'BEGIN {
  srand(seed)
  printf "0 0 5 3 255 255 255 8 1 16 " > one
  printf "0 0 5 3 255 255 255 " > cycling
  for (i = 0; i < 2000; i++) {
    s = "Label " (i * 37 % 1000)
    x = int(rand() * 1720); y = int(rand() * 1080)
    printf "3 4 %d %d %d %s", x, y, length(s), s > one
    printf "8 1 %d 3 4 %d %d %d %s", 8 + i % 192, x, y, length(s), s > cycling
  }
}'

. "$(dirname "$0")/common.sh"
# Appends "wall cpu" seconds of one run of the command to file $1.
timeit() {
  local out=$1; shift
  local TIMEFORMAT='%R %U %S'
  { time "$@" > /dev/null 2>&1; } 2> "$work/t"
  awk '{ print $1, $2 + $3 }' "$work/t" >> "$out"
}

: > "$work/o"; : > "$work/c"
for _ in $(seq "$runs"); do
  timeit "$work/o" "$bindir/zorva-render" --size 1920x1080 -o "$work/one.png" "$work/one.zv"
  timeit "$work/c" "$bindir/zorva-render" --size 1920x1080 -o "$work/cycling.png" "$work/cycling.zv"
done
ow=$(cut -d' ' -f1 "$work/o" | median); oc=$(cut -d' ' -f2 "$work/o" | median)
cw=$(cut -d' ' -f1 "$work/c" | median); cc=$(cut -d' ' -f2 "$work/c" | median)
printf 'one font:         %.3f s wall, %.3f s cpu\n' "$ow" "$oc"
printf 'cycling heights:  %.3f s wall, %.3f s cpu\n' "$cw" "$cc"
printf 'ratio cycling/one: %.2f wall, %.2f cpu (goal <= 2)\n' \
  "$(echo "$cw / $ow" | bc -l)" "$(echo "$cc / $oc" | bc -l)"
