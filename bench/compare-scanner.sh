#!/usr/bin/env bash
# The stream against a plain scanner, as whole processes over one file of N
# items that draw nothing, with numbers in their fields as real files have
# them (`20 4 1234 567 1890 12 `): zorva-render -o out.png (Qt's
# start-up, reading, parsing, storing, the picture and the exit included)
# against item-scanner, a small C program that reads 1 KB at a time and
# counts the items. Runs alternate; each side's median of RUNS, as wall time
# and as processor time (user + system: steadier on a shared machine).
# Usage: bench/compare-scanner.sh BINDIR [N] [RUNS]
set -euo pipefail
bindir=$1; n=${2:-10000000}; runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v n="$n" 'BEGIN { for (i = 0; i < n; i++) printf "20 4 %d %d %d %d ", 1000 + i % 997, i % 600, 1800 + i % 120, i % 50 }' > "$work/items.zv"

. "$(dirname "$0")/common.sh"
# Appends "wall cpu" seconds of one run of the command to file $1.
timeit() {
  local out=$1; shift
  local TIMEFORMAT='%R %U %S'
  { time "$@" > /dev/null 2>&1; } 2> "$work/t"
  awk '{ print $1, $2 + $3 }' "$work/t" >> "$out"
}

counted=$("$bindir/item-scanner" "$work/items.zv")
[ "$counted" = "$n" ] || { echo "item-scanner counted $counted items, not $n" >&2; exit 1; }
: > "$work/z"; : > "$work/s"
for _ in $(seq "$runs"); do
  timeit "$work/z" "$bindir/zorva-render" -o "$work/out.png" "$work/items.zv"
  timeit "$work/s" "$bindir/item-scanner" "$work/items.zv"
done
zw=$(cut -d' ' -f1 "$work/z" | median); zc=$(cut -d' ' -f2 "$work/z" | median)
sw=$(cut -d' ' -f1 "$work/s" | median); sc=$(cut -d' ' -f2 "$work/s" | median)
printf 'items: %d\n' "$n"
printf 'zorva-render: %.3f s wall, %.3f s cpu\n' "$zw" "$zc"
printf 'item-scanner: %.3f s wall, %.3f s cpu\n' "$sw" "$sc"
printf 'ratio scanner/zorva: %.3f wall, %.3f cpu (goal >= 0.8)\n' \
  "$(echo "$sw / $zw" | bc -l)" "$(echo "$sc / $zc" | bc -l)"
