#!/usr/bin/env bash
# zorvad in a session that has only a Wayland display: a headless weston in a
# private runtime directory, DISPLAY unset. The window comes up (the display
# signals readiness after its first exposure, through a pipe this script
# hands it as a launcher would), draws, and an exit item ends it with status
# 0 and the command file deleted; the launcher works the same way. Every
# wait has a time-out.
# Usage: run_wayland_e2e.sh ZORVAD
# Prints "N passed, N failed" at the end; exits non-zero on any failure.
set -u
prog=$1
. "$(dirname "$0")/../lib.sh"

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Displays started by the launcher are not this script's children: those of
# this test's private runtime folder are ended at exit.
on_exit() { end_detached "$prog" "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR"; }
unset DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
socket=zorva-wl
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
servers+=("$weston_pid")
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
if [ ! -S "$XDG_RUNTIME_DIR/$socket" ]; then
  bad "weston did not start: $(tail -n 5 "$work/weston.log")"
  finish
  exit 1
fi
export WAYLAND_DISPLAY=$socket

# --- Display mode: the window comes up, draws, and an exit item ends it.
file="$work/wayland.zv"
: > "$file"
mkfifo "$work/ready"
exec 8<>"$work/ready"
ZORVA_READY_FD=9 run_bg "$prog" "$file" 9>"$work/ready"
byte=
if read -r -N 1 -t 20 -u 8 byte && [ "$byte" = $'\x01' ]; then
  ok "the window came up on the Wayland display"
else
  bad "no readiness from the display: $(cat "$err_file")"
fi
printf '0 0 4 3 255 0 0 2 4 10 20 400 20 ' >> "$file"
sleep 1
printf '1 0 ' >> "$file"
st=$(status_of "$status_file" 10)
if [ "$st" = 0 ] && [ ! -e "$file" ] && [ ! -s "$err_file" ]; then
  ok "an exit item ends it with status 0 and deletes the file, nothing on standard error"
else
  bad "exit item on Wayland: status $st, file $( [ -e "$file" ] && echo kept || echo gone), stderr: $(cat "$err_file")"
fi

# --- The launcher returns once that window is up.
file="$work/launched.zv"
: > "$file"
timeout 40 "$prog" -d "$file" 2>"$work/err"; st=$?
printf '1 0 ' >> "$file"
if [ "$st" = 0 ] && gone_file "$file" 5; then
  ok "the launcher returns 0 with the Wayland window up; an exit item ends it"
else
  bad "launcher on Wayland: status $st, stderr: $(cat "$work/err")"
fi

# --- The compositor dies under a display: status 1 and, as under X, the
# command file is removed (the client learns the display closed).
file="$work/orphan.zv"
: > "$file"
mkfifo "$work/ready2"
exec 7<>"$work/ready2"
ZORVA_READY_FD=9 run_bg "$prog" "$file" 9>"$work/ready2"
byte=
if read -r -N 1 -t 20 -u 7 byte && [ "$byte" = $'\x01' ]; then
  printf '0 0 2 4 10 20 400 20 ' >> "$file"
  kill -9 "$weston_pid"
  st=$(status_of "$status_file" 20)
  if [ "$st" = 1 ] && gone_file "$file" 5 && grep -q "The Wayland connection broke" "$err_file"; then
    ok "the compositor's death ends the display with status 1 and removes the file"
  else
    bad "compositor killed: status $st, file $( [ -e "$file" ] && echo kept || echo gone), stderr: $(cat "$err_file")"
  fi
else
  bad "no readiness from the second display: $(cat "$err_file")"
fi

# --- A Wayland display that has gone: one line, status 1.
WAYLAND_DISPLAY=zorva-gone timeout 20 "$prog" "$work/x.zv" 2>"$work/err"; st=$?
if [ "$st" = 1 ] && [ "$(cat "$work/err")" = "zorvad: cannot connect to Wayland display \"zorva-gone\"" ]; then
  ok "a Wayland display that is gone: $(cat "$work/err")"
else
  bad "gone Wayland display: status $st, stderr: $(cat "$work/err")"
fi

finish
