#!/usr/bin/env bash
# Drives a display whose poll timer never ticks (e2e_watch_display)
# on a private Xvfb: whatever shows has been read because the file watch
# reported the change. Every wait has a generous time-out and nothing is
# timed. Prints "N passed, N failed"; exits non-zero on any failure.
set -u
prog=$1
. "$(dirname "$0")/../lib.sh"
start_xvfb

# Starts the display on file $1 and waits until it said ready; sets $dpid,
# $win and $h (the window's height). On failure $why says what went wrong.
start_display() {
  # The display inherits none of the shell's own descriptors (a FIFO's write
  # end held by the reader itself would never hang up).
  "$prog" "$1" >"$work/out.log" 2>&1 3>&- 4>&- &
  dpid=$!
  pids+=("$dpid")
  win=""; h=""; why=""
  for _ in $(seq 600); do
    grep -q '^ready$' "$work/out.log" 2>/dev/null && break
    kill -0 "$dpid" 2>/dev/null || break
    sleep 0.1
  done
  if ! grep -q '^ready$' "$work/out.log"; then
    if kill -0 "$dpid" 2>/dev/null; then
      why="no ready after 60 s; windows: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
    else
      wait "$dpid"
      why="it ended with status $? before it was ready"
      dpid=""
    fi
    why="$why; log: $(cat "$work/out.log")"
    return 1
  fi
  win=$(find_window "ZORVA daemon" 30)
  if [ -z "$win" ]; then
    why="ready, but no visible window after 30 s"
    return 1
  fi
  h=$(window_height "$win")
}
# CPU time of the display in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$dpid/stat"; }

# --- Appends to a regular file, by name and through a descriptor whose
# name was unlinked.
file="$work/commands.zv"
: > "$file"
if start_display "$file"; then
  printf '0 0 4 3 255 0 0 6 1 1 2 4 10 20 400 20 ' >> "$file"
  if wait_pixel "$win" 200 $((h - 20)) 60 "#FF0000" && [ "$(pixel "$win" 200 $((h - 30)))" = "#000000" ]; then
    ok "an appended line shows without a tick of the poll timer"
  else
    bad "appended line: pixel '$(pixel "$win" 200 $((h - 20)))'"
  fi

  # 200 red lines one above the other and a green one below them, in
  # pieces of random size: every line shows, the green one last.
  {
    for y in $(seq 80 279); do printf '2 4 10 %d 400 %d ' "$y" "$y"; done
    printf '4 3 0 255 0 2 4 10 60 400 60 '
  } > "$work/burst.txt"
  size=$(stat -c %s "$work/burst.txt")
  off=0
  while [ "$off" -lt "$size" ]; do
    n=$((1 + RANDOM % 120))
    tail -c +$((off + 1)) "$work/burst.txt" | head -c "$n" >> "$file"
    off=$((off + n))
  done
  if wait_pixel "$win" 200 $((h - 60)) 60 "#00FF00"; then
    red=$(convert "$work/shot.png" -crop "1x200+200+$((h - 279))" -depth 8 txt:- 2>/dev/null | grep -c '#FF0000')
    if [ "$red" = 200 ]; then
      ok "a burst written in random pieces shows every item"
    else
      bad "burst: $red of 200 red lines"
    fi
  else
    bad "burst: the last item did not show"
  fi

  exec 3>>"$file"
  rm -f "$file"
  printf '4 3 0 0 255 2 4 10 40 400 40 ' >&3
  if wait_pixel "$win" 200 $((h - 40)) 60 "#0000FF"; then
    ok "the watch follows the opened file after its name was unlinked"
  else
    bad "unlinked name: pixel '$(pixel "$win" 200 $((h - 40)))'"
  fi
  printf '1 0 ' >&3
  exec 3>&-
  await_end "$dpid" 60
  [ "$st" = 0 ] && ok "an exit item through the watch ends the display, status 0" || bad "exit item: status $st"
else
  bad "the display did not start: $why"
fi

# --- A FIFO whose writer writes and hangs up at once: its bytes show, the
# display then stays idle (a spinning one would use the whole interval), and
# a new writer's exit item still ends it. The shell holds the FIFO open for
# reading and writing until then, so that opening it never waits.
fifo="$work/commands.fifo"
mkfifo "$fifo"
exec 4<>"$fifo"
if start_display "$fifo"; then
  printf '0 0 4 3 255 255 0 2 4 10 20 400 20 ' >&4
  exec 4>&-
  if wait_pixel "$win" 200 $((h - 20)) 60 "#FFFF00"; then
    ok "bytes written into a FIFO show"
  else
    bad "FIFO: pixel '$(pixel "$win" 200 $((h - 20)))'"
  fi
  t0=$(cpu_ticks)
  sleep 3
  t1=$(cpu_ticks)
  used=$((t1 - t0))
  if [ "$used" -lt 150 ]; then
    ok "a FIFO whose writer hung up leaves the display idle ($used ticks in 3 s)"
  else
    bad "FIFO hang-up: the display used $used ticks in 3 s"
  fi
  exec 4>"$fifo"
  printf '1 0 ' >&4
  exec 4>&-
  await_end "$dpid" 60
  [ "$st" = 0 ] && ok "a new writer's exit item ends the display, status 0" || bad "FIFO exit: status $st"
else
  bad "the display did not start on a FIFO: $why"
  exec 4>&-
fi

finish
