# Helpers of the whole-process benchmark scripts; sourced, not run.

# Milliseconds since the epoch.
ms() { echo $(( $(date +%s%N) / 1000000 )); }
# The median and the largest of the numbers on standard input.
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
worst() { sort -n | tail -n 1; }
# Runs a command (its output thrown away) and appends "wall cpu" seconds of
# the whole process to file $1; cpu is user + system time, steadier than
# wall time on a shared machine.
timeRun() {
  local out=$1; shift
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$@" > /dev/null 2>&1; } 2>&1 )
  echo "$t" | awk '{ print $1, $2 + $3 }' >> "$out"
}
# The median wall and cpu seconds in a file of timeRun lines: "wall cpu".
medians() { echo "$(cut -d' ' -f1 "$1" | median) $(cut -d' ' -f2 "$1" | median)"; }
# How many display windows are visible: the main window and its popups.
windows() { xdotool search --onlyvisible --class zorvad 2>/dev/null | wc -l; }
# Looks, without pausing, until no display window is visible (so the time it
# returns at is when the window went); false after 20,000 looks.
gone() {
  for _ in $(seq 20000); do
    [ -z "$(xdotool search --onlyvisible --name '^ZORVA daemon$' 2>/dev/null)" ] && return 0
  done
  return 1
}
# Focuses window $1, presses Alt+E and prints the milliseconds until the
# menu's popup is visible (up to $2 ms, 60,000 unless given), then closes
# the menu with Escape.
menuMs() {
  local before t0 t
  xdotool windowfocus --sync "$1" 2>/dev/null
  before=$(windows)
  t0=$(ms); xdotool key alt+e
  while [ "$(windows)" -le "$before" ] && [ $(( $(ms) - t0 )) -lt "${2:-60000}" ]; do :; done
  t=$(( $(ms) - t0 ))
  xdotool key Escape
  echo "$t"
}
