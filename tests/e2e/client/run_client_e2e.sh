#!/usr/bin/env bash
# A client program (C, or C++ through zorva.hpp) draws through the client
# library into a display the library started; the window's client area equals zorva-render's picture of the
# same file at the client area's size.
# Usage (under xvfb-run): run_client_e2e.sh CLIENT ZORVA-RENDER PICTURE
# Prints "N passed, N failed"; exits non-zero on any failure.
set -u
client=$1; render=$2; picture=$3
work=$(mktemp -d)
passed=0; failed=0
display_pid=
cleanup() {
  # A display held for the client must not stay stopped.
  [ -n "$display_pid" ] && kill -CONT "$display_pid" 2>/dev/null
  [ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/../lib.sh"
ok()  { echo "ok: $1"; passed=$((passed + 1)); }
bad() { echo "FAIL: $1"; failed=$((failed + 1)); }

file="$work/picture.zv"
"$client" "$file" "$work/go" &
client_pid=$!
win=$(find_window "ZORVA daemon" 30)
if [ -z "$win" ]; then
  bad "no display window came up"; touch "$work/go"; wait "$client_pid"
  echo "$passed passed, $failed failed"; exit 1
fi
# A start item is followed by a replay that does not erase, so text drawn
# in the same step as the start is drawn twice, and antialiased text gets
# denser. zorva-render reads the whole file in one step: the display is held
# while the client writes, so that it does too.
display_pid=$(xdotool getwindowpid "$win")
[ -n "$display_pid" ] && kill -STOP "$display_pid" || bad "the display's process was not found"
touch "$work/go"
wait "$client_pid" && ok "the client started a display and drew" || bad "the client could not draw"
[ -n "$display_pid" ] && kill -CONT "$display_pid"
cmp -s "$file" "$picture" && ok "the file holds the shared picture's bytes" ||
  bad "the file's bytes differ from $picture"

geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p')
w=${geometry%x*}; h=${geometry#*x}
# Settled: two screenshots a second apart agree.
settled=no
for _ in $(seq 60); do
  import -window "$win" "$work/a.png" 2>/dev/null
  sleep 1
  import -window "$win" "$work/b.png" 2>/dev/null
  if [ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)" = 0 ]; then settled=yes; break; fi
done
# The client area is the black part below the menu bar: its top is the
# row under the last one that is not black in the rightmost column, which
# the picture does not reach.
top=$(convert "$work/b.png" -crop "1x$h+$((w - 1))+0" +repage -depth 8 txt:- |
      awk -F'[,:]' '!/^#/ && !/#000000/ { last = $2 } END { print last + 1 }')
ch=$((h - top))
"$render" --size "${w}x${ch}" -o "$work/want.png" "$file"
convert "$work/b.png" -crop "${w}x${ch}+0+${top}" +repage "$work/got.png"
diff=$(compare -metric AE "$work/got.png" "$work/want.png" null: 2>&1)
if [ "$settled" = yes ] && [ "$diff" = 0 ]; then
  ok "the client area (${w}x${ch}) equals zorva-render's picture"
else
  bad "client area ${w}x${ch} against zorva-render: settled=$settled, $diff pixels differ"
fi

printf '1 0 \n' >> "$file"
gone_window "ZORVA daemon" 30 && ok "the exit item closed the display" ||
  bad "the display did not close"
for _ in $(seq 50); do [ -e "$file" ] || break; sleep 0.1; done
[ ! -e "$file" ] && ok "the display removed the command file" || bad "the command file is still there"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
