#!/usr/bin/env bash
# zorva-render on 1, 2 and 4 threads (--threads), as whole processes, on
# three inputs: 10M numeric items that draw nothing (the display list's
# memory made ahead on a worker), 1M short segments (up to 20 pixels each
# way) in a 1920x1080 PNG, and 2,000 long lines in an 8000x8000 PNG (the
# PNG deflated in bands). Given BASEDIR, an earlier build (run without
# --threads) takes part in the same rounds. Runs alternate, each round in
# an order turned by one from the round before (a run can be sped up or
# slowed down by the memory the run before it gave back); median of RUNS
# wall and cpu (user + system) seconds; "speed-up" is the 1-thread wall
# time over this one's, "base/this" the earlier build's over this one's.
# Usage: bench/thread-scaling.sh BINDIR [RUNS] [BASEDIR]
set -euo pipefail
bindir=$1; runs=${2:-5}; basedir=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/common.sh"

awk 'BEGIN { for (i = 0; i < 10000000; i++) printf "20 4 %d %d %d %d ", 1000 + i % 997, i % 600, 1800 + i % 120, i % 50 }' > "$work/items.zv"
awk 'BEGIN {
  srand(1); print "0 0 "
  for (i = 0; i < 1000000; i++) {
    x = int(rand() * 1900); y = int(rand() * 1060)
    printf "2 4 %d %d %d %d \n", x, y, x + int(rand() * 41) - 20, y + int(rand() * 41) - 20
  }
}' > "$work/segments.zv"
awk 'BEGIN {
  srand(2); print "0 0 "
  for (i = 0; i < 2000; i++)
    printf "2 4 %d %d %d %d \n", int(rand() * 8000), int(rand() * 8000), int(rand() * 8000), int(rand() * 8000)
}' > "$work/large.zv"

inputs=("items:--size 800x600:items.zv" "segments:--size 1920x1080:segments.zv" "large:--size 8000x8000:large.zv")
variants=(1 2 4)
[ -z "$basedir" ] || variants=(base "${variants[@]}")
load=$(cut -d' ' -f1-3 /proc/loadavg)
for round in $(seq "$runs"); do
  for input in "${inputs[@]}"; do
    IFS=: read -r name size file <<< "$input"
    n=${#variants[@]}
    for k in $(seq 0 $((n - 1))); do
      v=${variants[$(( (k + round) % n ))]}
      if [ "$v" = base ]; then
        # shellcheck disable=SC2086
        timeRun "$work/$name.$v" "$basedir/zorva-render" $size -o "$work/out.png" "$work/$file"
      else
        # shellcheck disable=SC2086
        timeRun "$work/$name.$v" "$bindir/zorva-render" --threads "$v" $size -o "$work/out.png" "$work/$file"
      fi
    done
  done
done
printf '%d runs; load before: %s, after: %s\n' "$runs" "$load" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-9s %-8s %9s %9s %9s %10s\n' input threads wall cpu speed-up base/this
for input in "${inputs[@]}"; do
  IFS=: read -r name _ _ <<< "$input"
  read -r w1 _ < <(medians "$work/$name.1")
  wb=
  [ -z "$basedir" ] || read -r wb _ < <(medians "$work/$name.base")
  for v in "${variants[@]}"; do
    read -r w c < <(medians "$work/$name.$v")
    printf '%-9s %-8s %8.3fs %8.3fs %9.2f %10s\n' "$name" "$v" "$w" "$c" "$(echo "$w1 / $w" | bc -l)" \
      "$([ -z "$wb" ] && echo - || printf '%.2f' "$(echo "$wb / $w" | bc -l)")"
  done
done
