#!/usr/bin/env bash
# A client program (C, or C++ through zorva.hpp) draws through the client
# library into a display the library started; the window's client area equals zorva-render's picture of the
# same file at the client area's size.
# Usage (under xvfb-run): run_client_e2e.sh CLIENT ZORVA-RENDER PICTURE
# Prints "N passed, N failed"; exits non-zero on any failure.
set -u
client=$1; render=$2; picture=$3
. "$(dirname "$0")/../lib.sh"

file="$work/picture.zv"
"$client" "$file" "$work/go" &
client_pid=$!
win=$(find_window "ZORVA daemon" 30)
if [ -z "$win" ]; then
  bad "no display window came up"; touch "$work/go"; wait "$client_pid"
  finish; exit
fi
# A start item is followed by a replay that does not erase, so text drawn
# in the same step as the start is drawn twice, and antialiased text gets
# denser. zorva-render reads the whole file in one step: the display is held
# while the client writes, so that it does too.
display_pid=$(xdotool getwindowpid "$win")
# Ended at exit, so that it does not stay stopped.
[ -n "$display_pid" ] && pids+=("$display_pid")
[ -n "$display_pid" ] && kill -STOP "$display_pid" || bad "the display's process was not found"
touch "$work/go"
wait "$client_pid" && ok "the client started a display and drew" || bad "the client could not draw"
[ -n "$display_pid" ] && kill -CONT "$display_pid"
cmp -s "$file" "$picture" && ok "the file holds the shared picture's bytes" ||
  bad "the file's bytes differ from $picture"

size=$(window_size "$win")
w=${size%x*}; h=${size#*x}
settled_shot "$win" 60 && settled=yes || settled=no
top=$(client_top "$work/settled.png")
ch=$((h - top))
"$render" --size "${w}x${ch}" -o "$work/want.png" "$file"
convert "$work/settled.png" -crop "${w}x${ch}+0+${top}" +repage "$work/got.png"
diff=$(compare -metric AE "$work/got.png" "$work/want.png" null: 2>&1)
if [ "$settled" = yes ] && [ "$diff" = 0 ]; then
  ok "the client area (${w}x${ch}) equals zorva-render's picture"
else
  bad "client area ${w}x${ch} against zorva-render: settled=$settled, $diff pixels differ"
fi

printf '1 0 \n' >> "$file"
gone_window "ZORVA daemon" 30 && ok "the exit item closed the display" ||
  bad "the display did not close"
gone_file "$file" 5 && ok "the display removed the command file" || bad "the command file is still there"

finish
