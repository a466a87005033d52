#!/usr/bin/env bash
# Drives zorvad on the X display (under xvfb-run). Every wait has a time-out.
# Prints "N passed, N failed" at the end; exits non-zero on any failure.
set -u
prog=$1
. "$(dirname "$0")/../lib.sh"
# Displays started by the launcher are not this script's children.
on_exit() { end_detached "$prog" "DISPLAY=$DISPLAY"; }

start_display() {  # file; sets $status_file and $win
  run_bg "$prog" "$1"
  win=$(find_window "ZORVA daemon")
}

# --- The launcher returns once the window exists; items appear at their
# pixels within two polls; resizing erases and replays; an exit item closes.
file="$work/commands.zv"
: > "$file"
t0=$(date +%s%N)
timeout 40 "$prog" -d "$file"; st=$?
t1=$(date +%s%N)
win=$(find_window "ZORVA daemon" 2)
if [ "$st" -eq 0 ] && [ -n "$win" ]; then
  ok "launcher returned 0 with the window up ($(( (t1 - t0) / 1000000 )) ms)"
else
  bad "launcher: status $st, window '${win}'"
fi

if [ -n "$win" ]; then
  printf '0 0 4 3 255 0 0 6 1 3 2 4 10 20 400 20 ' >> "$file"
  h=$(window_height "$win")
  if wait_pixel "$win" 200 $((h - 20)) 2 "#FF0000" && [ "$(pixel "$win" 200 $((h - 40)))" = "#000000" ]; then
    ok "a line written by a client shows 20 pixels above the bottom within two polls"
  else
    bad "line pixels: at y=$((h - 20)) '$(pixel "$win" 200 $((h - 20)))'"
  fi

  xdotool windowsize --sync "$win" 640 420 2>/dev/null
  sleep 0.5
  h2=$(window_height "$win")
  if wait_pixel "$win" 200 $((h2 - 20)) 3 "#FF0000" && [ "$h2" != "$h" ]; then
    ok "resizing replays the picture at the new bottom-left corner"
  else
    bad "resize: height $h -> $h2, pixel '$(pixel "$win" 200 $((h2 - 20)))'"
  fi

  printf '1 0 ' >> "$file"
  if gone_window "ZORVA daemon" 5 && [ ! -e "$file" ]; then
    ok "an exit item closes the window and deletes the command file"
  else
    bad "exit item: window still there or file kept"
  fi
fi

# --- Display mode: exit item status, Exit menu, About box.
file="$work/direct.zv"
: > "$file"
start_display "$file"
if [ -n "$win" ]; then
  printf '2 4 1 1 5 5 1 0 ' >> "$file"
  st=$(status_of "$status_file" 10)
  if [ "$st" = 0 ] && [ ! -e "$file" ]; then ok "exit item: status 0, file deleted"; else bad "exit item: status $st"; fi
else
  bad "display mode: no window"
fi

: > "$file"
start_display "$file"
if [ -n "$win" ]; then
  keys_to "$win" alt+h a
  about=$(find_window "ZORVAd" 10)
  if [ -n "$about" ]; then
    ok "Help > About shows a box captioned ZORVAd"
    keys_to "$about" Return
    gone_window "ZORVAd" 5 || bad "About box did not close"
  else
    bad "no About box"
  fi
  keys_to "$win" alt+e e
  st=$(status_of "$status_file" 10)
  if [ "$st" = 0 ] && [ ! -e "$file" ]; then ok "Edit > Exit: status 0, file deleted"; else bad "Exit: status $st"; fi
else
  bad "display mode: no window"
fi

# --- A missing command file: two boxes, status 1, no window.
run_bg "$prog" "$work/missing.zv"
box=$(find_window "File name" 15)
if [ -n "$box" ]; then
  keys_to "$box" Return
  box2=$(find_window "Error" 10)
  if [ -n "$box2" ]; then
    keys_to "$box2" Return
    st=$(status_of "$status_file" 10)
    [ "$st" = 1 ] && ok "missing file: two boxes and status 1" || bad "missing file: status $st"
  else
    bad "missing file: no second box"
  fi
else
  bad "missing file: no 'File name' box"
fi

# --- Forms without a command file: the usage box and status 1.
for form in "-dx" "-D x" "a b c"; do
  # shellcheck disable=SC2086
  run_bg "$prog" $form
  box=$(find_window "ZORVAd" 15)
  if [ -n "$box" ]; then
    keys_to "$box" Return
    st=$(status_of "$status_file" 10)
    [ "$st" = 1 ] && ok "usage box for '$form', status 1" || bad "usage '$form': status $st"
  else
    bad "usage '$form': no box"
    kill "$rpid" 2>/dev/null
  fi
  gone_window "ZORVA daemon" 1 || bad "usage '$form' opened a display"
done

# --- A file name with a blank, through the launcher.
file="$work/with blank.zv"
: > "$file"
timeout 40 "$prog" -d "$file"; st=$?
win=$(find_window "ZORVA daemon" 5)
if [ "$st" = 0 ] && [ -n "$win" ]; then
  printf '1 0 ' >> "$file"
  if gone_window "ZORVA daemon" 5 && [ ! -e "$file" ]; then
    ok "a file name with a blank reaches the display intact"
  else
    bad "blank name: the display did not follow the file"
  fi
else
  bad "blank name: launcher status $st"
fi

finish
