#!/usr/bin/env bash
# The Python client on a real X display (under xvfb-run): it starts the
# display through the launcher and draws the shared picture, which must
# equal zorva-render's picture of the same file; a display the user closes
# is reported to the client; a launch that fails reports its reason.
# Usage: run_python_e2e.sh PYTHON ZORVAD ZORVA-RENDER WM-DELETE
# Every wait has a time-out. Prints "N passed, N failed"; exits non-zero on
# any failure.
set -u
python=$1; prog=$2; render=$3; wmdelete=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../lib.sh"
# Displays started by the launcher are not this script's children.
on_exit() { end_detached "$prog" "DISPLAY=$DISPLAY"; }
client() { ZORVAD=$prog timeout 60 "$python" "$here/picture_client.py" "$@"; }

# The bytes the shared picture is, as every client writes them.
printf '%s\n' '0 0 ' '4 3 0 255 0 ' '2 4 10 10 200 150 ' '6 1 3 ' '11 3 150 100 40 ' \
  '6 1 1 ' '7 1 2 ' '13 5 300 100 50 0 135 ' '7 1 1 ' '4 3 255 128 0 ' '14 2 50 200 ' \
  '15 2 100 250 ' '15 2 150 200 ' '5 3 255 255 255 ' '9 2 11 DejaVu Sans' '8 1 20 ' \
  '10 1 2 ' '3 4 200 260 5 Zorva' > "$work/expected.zv"

# --- 1. The shared picture through a display the client started.
file="$work/picture.zv"
out=$(client picture "$file" 2>&1); st=$?
win=$(find_window "ZORVA daemon" 30)
if [ "$st" -eq 0 ] && [ -n "$win" ]; then
  ok "the client started a display and drew"
else
  bad "client status $st, window '$win': $out"
fi
if cmp -s "$file" "$work/expected.zv"; then
  ok "the command file holds the shared picture's bytes"
else
  bad "command file differs: $(cmp "$file" "$work/expected.zv" 2>&1)"
fi
if [ -n "$win" ]; then
  size=$(window_size "$win")
  w=${size%x*}; h=${size#*x}
  # The height of the menu bar above the client area.
  import -window "$win" "$work/menu.png" 2>/dev/null
  m=$(client_top "$work/menu.png")
  if [ -z "$m" ]; then
    bad "no client area found in the ${w}x${h} window"
  else
    "$render" --size "${w}x$((h - m))" -o "$work/want.png" "$work/expected.zv"
    # The display draws as it reads: wait until the window shows it all.
    diff=unknown
    for _ in $(seq 60); do
      import -window "$win" "$work/shot.png" 2>/dev/null
      convert "$work/shot.png" -crop "${w}x$((h - m))+0+$m" +repage "$work/got.png"
      diff=$(compare -metric AE "$work/got.png" "$work/want.png" null: 2>&1)
      [ "$diff" = 0 ] && break
      sleep 0.5
    done
    if [ "$diff" = 0 ]; then
      ok "the ${w}x$((h - m)) client area equals zorva-render's picture"
    else
      bad "client area against zorva-render: $diff pixels differ"
      cp "$work/got.png" "$work/want.png" "${TMPDIR:-/tmp}/" 2>/dev/null
    fi
  fi
  printf '1 0 \n' >> "$file"
  if gone_window "ZORVA daemon" 20 && [ ! -e "$file" ]; then
    ok "an exit item closed the display, which removed the file"
  else
    bad "after the exit item: file $( [ -e "$file" ] && echo kept || echo gone)"
  fi
fi

# --- 2. The user closes the window; the client's next write says so.
file="$work/closed.zv"
mkfifo "$work/go"
( client closed "$file" < "$work/go" > "$work/closed.out" 2>&1; echo $? > "$work/closed.status" ) &
exec 7> "$work/go"
win=$(find_window "ZORVA daemon" 30)
if [ -n "$win" ]; then
  "$wmdelete" "$win"
  gone_window "ZORVA daemon" 20 || bad "the window did not close on the close request"
fi
echo >&7; exec 7>&-
st=$(status_of "$work/closed.status" 60)
if [ "$st" = 0 ]; then
  ok "a write after the user closed the display raised DisplayClosed"
else
  bad "closed display: status '$st': $(cat "$work/closed.out")"
fi

# --- 3. No screen to show on: the launcher fails, the client hears why.
file="$work/refused.zv"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY ZORVAD="$prog" timeout 60 "$python" \
        "$here/picture_client.py" refused "$file" 2>&1); st=$?
if [ "$st" -eq 0 ]; then
  ok "a failed launch came back with status 1 and a reason ($out)"
else
  bad "failed launch: status $st: $out"
fi

finish
