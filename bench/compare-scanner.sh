#!/usr/bin/env bash
# The stream against a plain scanner, as whole processes over one file of N
# items that draw nothing, with numbers in their fields as real files have
# them (`20 4 1234 567 1890 12 `): zorva-render -o out.png (Qt's
# start-up, reading, parsing, storing, the picture and the exit included)
# against item-scanner, a small C program that reads 1 KB at a time and
# counts the items. Given BASEDIR, a second zorva-render (an earlier build)
# runs in the same rounds, so that both figures come from one run. Runs
# alternate; each side's median of RUNS, as wall time and as processor time
# (user + system: steadier on a shared machine).
# Usage: bench/compare-scanner.sh BINDIR [N] [RUNS] [BASEDIR]
set -euo pipefail
bindir=$1; n=${2:-10000000}; runs=${3:-5}; basedir=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v n="$n" 'BEGIN { for (i = 0; i < n; i++) printf "20 4 %d %d %d %d ", 1000 + i % 997, i % 600, 1800 + i % 120, i % 50 }' > "$work/items.zv"

. "$(dirname "$0")/common.sh"

counted=$("$bindir/item-scanner" "$work/items.zv")
[ "$counted" = "$n" ] || { echo "item-scanner counted $counted items, not $n" >&2; exit 1; }
: > "$work/z"; : > "$work/s"; : > "$work/b"
load=$(cut -d' ' -f1-3 /proc/loadavg)
for _ in $(seq "$runs"); do
  timeRun "$work/z" "$bindir/zorva-render" -o "$work/out.png" "$work/items.zv"
  timeRun "$work/s" "$bindir/item-scanner" "$work/items.zv"
  [ -z "$basedir" ] || timeRun "$work/b" "$basedir/zorva-render" -o "$work/out.png" "$work/items.zv"
done
read -r sw sc < <(medians "$work/s")
# One line: name, median wall and cpu, the scanner's over them.
line() {
  local w c; read -r w c < <(medians "$2")
  printf '%-22s %6.3f s wall %6.3f s cpu   scanner/this %.3f wall, %.3f cpu (goal >= 0.8)\n' \
    "$1" "$w" "$c" "$(echo "$sw / $w" | bc -l)" "$(echo "$sc / $c" | bc -l)"
}
printf 'items: %d, %d runs; load before: %s\n' "$n" "$runs" "$load"
printf '%-22s %6.3f s wall %6.3f s cpu\n' item-scanner "$sw" "$sc"
line zorva-render "$work/z"
[ -z "$basedir" ] || line "zorva-render (base)" "$work/b"
printf 'load after: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
