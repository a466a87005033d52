#!/usr/bin/env bash
# Drives zorvad on X displays of its own (Xvfb): what it agrees to open,
# which file it deletes when it closes, and how it ends on a signal or when
# its display goes away. Every wait has a time-out. Prints
# "N passed, N failed" at the end; exits non-zero on any failure.
set -u
# Job control: a shell without it starts background jobs with SIGINT
# ignored, and an ignored SIGINT stays ignored in the display.
set -m
prog=$1
wm_delete=${2:-}  # sends WM_DELETE_WINDOW as a window manager does (optional)
. "$(dirname "$0")/../lib.sh"

# A private runtime folder keeps Qt's note about a missing one off stderr,
# and in a sanitizer build the leak checker keeps its list of suppressions
# to itself: stderr holds what the program says.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"

# Runs the program in the background: $zpid is its pid, its output goes to
# $zlog.
runs=0
run_display() {
  runs=$((runs + 1))
  zlog="$work/out.$runs.log"
  "$prog" "$@" >"$zlog" 2>&1 &
  zpid=$!
  pids+=("$zpid")
}

# Visible windows named exactly $1, waiting at most $2 s for at least $3.
windows_named() {
  local ids
  for _ in $(seq $(( ${2:-15} * 10 ))); do
    ids=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)
    [ "$(printf '%s' "$ids" | grep -c .)" -ge "${3:-1}" ] && { echo "$ids"; return; }
    sleep 0.1
  done
}
# Voluntary context switches of a process: how often it slept and woke.
wakeups() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status"; }
# Starts a display on $1 and waits for its own window (not one left by an
# earlier display); sets $zpid and $win.
start_display() {
  run_display "$1"
  win=
  for _ in $(seq 150); do
    win=$(xdotool search --all --onlyvisible --pid "$zpid" --name '^ZORVA daemon$' 2>/dev/null | head -n 1)
    [ -n "$win" ] && return
    sleep 0.1
  done
}
# Ends the display $zpid with signal $1; sets $st to its status.
end_with() {
  kill "-$1" "$zpid"
  await_end "$zpid" 10
}

start_xvfb

# === Opening never blocks ================================================

# A FIFO without a writer: the launcher returns at once with the window up;
# a writer's exit item closes the display and removes the FIFO.
fifo="$work/launched.fifo"
mkfifo "$fifo"
timeout 20 "$prog" -d "$fifo"; st=$?
win=$(find_window "ZORVA daemon" 5)
check "launcher on a FIFO with no writer: status 0 ($st) and the window up" \
  test "$st" = 0 -a -n "$win"
if [ -n "$win" ]; then
  timeout 10 sh -c 'printf "1 0 " > "$1"' _ "$fifo"
  gone_window "ZORVA daemon" 5; gone=$?
  check "an exit item through the FIFO closes the display and removes the FIFO" \
    test "$gone" = 0 -a ! -e "$fifo"
fi

# A FIFO followed like a growing file: items from one writer, no spinning
# once it has gone, items from the next writer, an exit item from a third.
fifo="$work/follow.fifo"
mkfifo "$fifo"
start_display "$fifo"
if [ -n "$win" ]; then
  h=$(window_height "$win")
  timeout 10 sh -c 'printf "0 0 4 3 255 0 0 6 1 3 2 4 10 20 400 20 " > "$1"' _ "$fifo"
  check "a FIFO writer's line is drawn" wait_pixel "$win" 200 $((h - 20)) 3 "#FF0000"
  before=$(wakeups "$zpid"); sleep 2; after=$(wakeups "$zpid")
  # The poll timer wakes it 4 times in 2 s; a loop on the writer-less FIFO
  # would wake it thousands of times.
  check "with its writer gone the display waits without spinning ($((after - before)) wake-ups in 2 s)" \
    test $((after - before)) -lt 60
  timeout 10 sh -c 'printf "4 3 0 255 0 2 4 10 60 400 60 " > "$1"' _ "$fifo"
  check "the next writer's line is drawn" wait_pixel "$win" 200 $((h - 60)) 3 "#00FF00"
  timeout 10 sh -c 'printf "1 0 " > "$1"' _ "$fifo"
  await_end "$zpid" 10
  check "exit item from a third writer: status 0 ($st), FIFO removed" test "$st" = 0 -a ! -e "$fifo"
else
  bad "FIFO: no window"
fi

# A pipe from process substitution.
runs=$((runs + 1))
"$prog" <(sleep 1; printf '0 0 2 4 10 20 400 20 1 0 ') >"$work/out.subst.log" 2>&1 &
zpid=$!; pids+=("$zpid")
await_end "$zpid" 20
check "zorvad <(generator) follows the pipe to its exit item: status $st" test "$st" = 0

# Refused kinds: the two boxes of a file that cannot be opened, then 1.
mkdir "$work/folder"
socket="/tmp/.X11-unix/X${DISPLAY#:}"
for name in "$work/folder" /dev/null "$socket"; do
  run_display "$name"
  box=$(find_window "File name" 15)
  if [ -n "$box" ]; then
    keys_to "$box" Return
    box2=$(find_window "Error" 10)
    [ -n "$box2" ] && keys_to "$box2" Return
    await_end "$zpid" 10
    check "refused $name: both boxes, status 1 ($st), no window" \
      test -n "$box2" -a "$st" = 1 -a -z "$(xdotool search --onlyvisible --name '^ZORVA daemon$' 2>/dev/null)"
  else
    bad "refused $name: no 'File name' box"
  fi
done
check "the refused folder is still there" test -d "$work/folder"
check "the refused socket is still there" test -S "$socket"

# === Only the file that was opened is deleted =============================

# A directory symlink switched while the display runs.
mkdir "$work/A" "$work/B"
: >"$work/A/f.zv"; : >"$work/B/f.zv"
ln -s A "$work/L"
start_display "$work/L/f.zv"
if [ -n "$win" ]; then
  ln -sfn B "$work/L"
  keys_to "$win" alt+e e
  await_end "$zpid" 10
  check "directory link switched: Exit deletes the opened file, not the other ($st)" \
    test "$st" = 0 -a ! -e "$work/A/f.zv" -a -e "$work/B/f.zv"
else
  bad "switched link: no window"
fi

# A file replaced by rename, and one deleted and made anew.
for how in rename recreate; do
  file="$work/$how.zv"
  : >"$file"
  start_display "$file"
  if [ -n "$win" ]; then
    if [ "$how" = rename ]; then
      echo newcomer >"$file.new"; mv "$file.new" "$file"
    else
      rm "$file"; echo newcomer >"$file"
    fi
    end_with TERM
    check "file replaced ($how): the newcomer stays ($st)" test "$st" = 0 -a "$(cat "$file")" = newcomer
  else
    bad "$how: no window"
  fi
done

# Two displays on one file: the first to close leaves it, the second
# deletes it. The first is closed as a window manager closes a window.
file="$work/shared.zv"
: >"$file"
run_display "$file"; first=$zpid
run_display "$file"; second=$zpid
if [ "$(windows_named "ZORVA daemon" 15 2 | grep -c .)" -ge 2 ]; then
  w=$(xdotool search --all --onlyvisible --pid "$first" --name '^ZORVA daemon$' 2>/dev/null | head -n 1)
  if [ -n "$wm_delete" ] && [ -n "$w" ]; then
    how="the window manager's close"; "$wm_delete" "$w"
  else
    how="Edit > Exit"; keys_to "$w" alt+e e
  fi
  await_end "$first" 10; st1=$st
  check "two displays: the first closes ($how) with $st1 and the file stays" test "$st1" = 0 -a -e "$file"
  zpid=$second; end_with TERM; st2=$st
  check "two displays: the second closes with $st2 and deletes the file" test "$st2" = 0 -a ! -e "$file"
else
  bad "two displays: not two windows"
fi

# A symlink given as the command file: the link goes, its target stays.
: >"$work/target.zv"
ln -s target.zv "$work/link.zv"
start_display "$work/link.zv"
if [ -n "$win" ]; then
  end_with TERM
  check "a link as the file: the link is deleted, the target stays ($st)" \
    test "$st" = 0 -a ! -L "$work/link.zv" -a -e "$work/target.zv"
else
  bad "link: no window"
fi

# === Ending by signal =====================================================

for sig in TERM HUP INT; do
  file="$work/sig$sig.zv"
  : >"$file"
  start_display "$file"
  if [ -n "$win" ]; then
    end_with "$sig"
    check "SIG$sig closes the display: status $st, file deleted" test "$st" = 0 -a ! -e "$file"
  else
    bad "SIG$sig: no window"
  fi
done

# A signal while the About box is up.
file="$work/about.zv"
: >"$file"
start_display "$file"
if [ -n "$win" ]; then
  keys_to "$win" alt+h a
  about=$(find_window "ZORVAd" 10)
  if [ -n "$about" ]; then
    end_with TERM
    check "SIGTERM with the About box up: box gone, status $st, file deleted" \
      test "$st" = 0 -a ! -e "$file" -a -z "$(xdotool search --onlyvisible --name '^ZORVAd$' 2>/dev/null)"
  else
    bad "no About box"
    kill -KILL "$zpid"
  fi
else
  bad "About: no window"
fi

# A signal while the boxes of a missing file are up: status 1 at once.
run_display "$work/missing.zv"
box=$(find_window "File name" 15)
if [ -n "$box" ]; then
  end_with TERM
  check "SIGTERM during the missing-file box: status $st, no second box" \
    test "$st" = 1 -a -z "$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null)"
else
  bad "missing file: no box"
fi

# A second signal while the first is being handled ends the process at
# once: both arrive while it is stopped, and it goes on with both pending.
file="$work/twice.zv"
: >"$file"
start_display "$file"
if [ -n "$win" ]; then
  kill -STOP "$zpid"; kill -TERM "$zpid"; kill -HUP "$zpid"; kill -CONT "$zpid"
  await_end "$zpid" 10
  check "a second signal ends it at once: status $st, file deleted" test "$st" = 1 -a ! -e "$file"
else
  bad "two signals: no window"
fi

# === Losing the display ==================================================

start_xvfb
file="$work/lost.zv"
: >"$file"
run_display "$file"; lone=$zpid; lonelog=$zlog
shared="$work/lost-shared.zv"
: >"$shared"
run_display "$shared"; a=$zpid
run_display "$shared"; b=$zpid
windows_named "ZORVA daemon" 15 3 >/dev/null
kill "$server"
await_end "$a" 10; sta=$st
await_end "$b" 10; stb=$st
await_end "$lone" 10
check "X server gone: status $st, the opened file deleted" test "$st" = 1 -a ! -e "$file"
lines=$(wc -l <"$lonelog")
check "X server gone: one line on stderr ($lines: $(head -c 200 "$lonelog"))" test "$lines" = 1
check "X server gone under two displays of one file: $sta and $stb, the last one deletes it" \
  test "$sta" = 1 -a "$stb" = 1 -a ! -e "$shared"

finish
