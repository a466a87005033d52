#!/usr/bin/env bash
# The display window's copy, save, zoom, fit, actual size and coordinates,
# on an X server of its own.
# Usage: run_explore_e2e.sh ZORVAD ZORVA-RENDER WM-DELETE
set -u
prog=$1; render=$2; wmdelete=$3
. "$(dirname "$0")/../lib.sh"
start_xvfb 1024x768x24

# A picture that keeps to the left and the middle, and a line at y = 1 on
# the bottom row. No text: anti-aliased text drawn over itself (a repaint
# where a dialog was) changes its pixels, lines and circles do not.
picture='0 0 4 3 255 0 0 2 4 20 40 300 40 4 3 0 255 0 11 3 150 150 60 6 1 3 2 4 40 250 200 300 4 3 0 128 255 6 1 1 2 4 0 1 400 1 '
file="$work/explore.zv"
: > "$file"
run_bg "$prog" "$file"
display=$rpid
win=$(find_window "ZORVA daemon" 30)
[ -n "$win" ] || { bad "no display came up"; finish; exit 1; }
printf '%s' "$picture" >> "$file"
wait_pixel "$win" 20 600 10 "#000000" >/dev/null  # any look at the window
settled_shot "$win" 20 || bad "the picture did not settle"
top=$(client_top "$work/settled.png")
size=$(window_size "$win"); w=${size%x*}; h=${size#*x}
ch=$((h - top))
# The client area of the screenshot $1 into $2.
client_of() { convert "$1" -crop "${w}x${ch}+0+${top}" +repage "$2"; }
client_of "$work/settled.png" "$work/client.png"
check "the line at y = 1 lies on the bottom row" test "$(pixel_of "$work/client.png" 200 $((ch - 1)))" = "#0080FF"

# --- Copy: the clipboard's PNG is the client area, pixel for pixel.
keys_to "$win" ctrl+c
got_clip=no
for _ in $(seq 50); do
  xclip -selection clipboard -t image/png -o > "$work/clip.png" 2>/dev/null && [ -s "$work/clip.png" ] && { got_clip=yes; break; }
  sleep 0.2
done
if [ "$got_clip" = yes ]; then
  diff=$(compare -metric AE "$work/clip.png" "$work/client.png" null: 2>&1)
  check "the clipboard's image equals the client area ($diff pixels differ)" test "$diff" = 0
else
  bad "nothing came from the clipboard"
fi

# --- The coordinates: a press shows a crosshair and a label, which never
# reach the picture; with the readout off, moving changes nothing.
xdotool mousemove --window "$win" 600 $((top + 200))
sleep 0.5
import -window "$win" "$work/moved.png"
client_of "$work/moved.png" "$work/moved-client.png"
check "with the readout off, moving the pointer changes no pixel" \
  test "$(compare -metric AE "$work/moved-client.png" "$work/client.png" null: 2>&1)" = 0
xdotool mousedown 1
sleep 0.5
import -window "$win" "$work/pressed.png"
xdotool mouseup 1
client_of "$work/pressed.png" "$work/pressed-client.png"
changed=$(compare -metric AE "$work/pressed-client.png" "$work/client.png" null: 2>&1)
check "a press shows the crosshair and the label ($changed pixels)" test "$changed" -gt 100
# The label's box lies to the right of and below the pointer.
check "the label's box is drawn beside the pointer" \
  test "$(pixel_of "$work/pressed-client.png" 616 214)" = "#FFFFD2"
keys_to "$win" ctrl+c
sleep 0.5
xclip -selection clipboard -t image/png -o > "$work/clip2.png" 2>/dev/null
check "the copy never holds the crosshair or the label" \
  test "$(compare -metric AE "$work/clip2.png" "$work/client.png" null: 2>&1)" = 0

# --- Save: PNG, SVG and PDF through the toolkit's dialog.
save_as() {
  keys_to "$win" ctrl+s
  local dialog
  dialog=$(find_window "Save picture as" 20)
  [ -n "$dialog" ] || { bad "no save dialog for $1"; return 1; }
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  sleep 0.5
  xdotool key --delay 50 ctrl+a
  xdotool type --delay 20 "$1"
  xdotool key Return; xdotool keyup Return
  # An existing file: the dialog asks itself whether to replace it (Yes).
  if [ "${2:-}" = replace ]; then
    sleep 1
    xdotool key alt+y; xdotool keyup y
  fi
  gone_window "Save picture as" 20
}
for ext in png svg pdf; do
  save_as "$work/saved.$ext"
  for _ in $(seq 100); do [ -s "$work/saved.$ext" ] && break; sleep 0.1; done
  check "the picture was saved as $ext" test -s "$work/saved.$ext"
  if [ "$ext" = png ]; then
    diff=$(compare -metric AE "$work/saved.png" "$work/client.png" null: 2>&1)
    check "the saved PNG equals the client area ($diff pixels differ)" test "$diff" = 0
  fi
done
check "the saved SVG decodes" rsvg-convert -o "$work/svg.png" "$work/saved.svg"
check "the saved PDF decodes" pdftoppm -png -r 72 -singlefile "$work/saved.pdf" "$work/pdf"
check "no temporary file is left beside them" test "$(ls -a "$work" | grep -c '^\.saved')" = 0
# A name without a known extension gets .png.
save_as "$work/plain"
for _ in $(seq 100); do [ -s "$work/plain.png" ] && break; sleep 0.1; done
check "a name without an extension gets .png" test -s "$work/plain.png"
# The command file, through another name, is refused with a box, and left
# as it was.
before=$(md5sum < "$file")
ln -s "$file" "$work/alias.png"
save_as "$work/alias.png" replace
box=$(find_window "ZORVAd" 10)
if [ -n "$box" ]; then
  ok "saving over the command file is refused with a box"
  keys_to "$box" Return
else
  bad "no box for saving over the command file"
fi
check "the command file is untouched" test "$(md5sum < "$file")" = "$before"

# --- Zoom, pan and fit. The red line (20, 40)-(300, 40) is 280 pixels
# long and one row thick at 1:1.
# The client area once it has settled, into $work/$1.png.
view_shot() {
  settled_shot "$win" 20 || bad "the $1 picture did not settle"
  client_of "$work/settled.png" "$work/$1.png"
}
# The red line's box in $work/$1.png as "W H X Y".
red_box() {
  convert "$work/$1.png" -fill black -fuzz 10% +opaque '#FF0000' -trim -format '%w %h %X %Y' info: 2>/dev/null
}
# The picture spans 401x300 from (0, 1): Fit zooms it by the largest power
# of the square root of 2 that lets it fit the client area, centred.
keys_to "$win" ctrl+f
view_shot fit
read -r fw fh fx fy <<<"$(red_box fit)"
read -r zoom want_w want_x <<<"$(awk -v w="$w" -v h="$ch" 'BEGIN {
  z = 1; while (401 * z * sqrt(2) <= w && 300 * z * sqrt(2) <= h) z *= sqrt(2)
  while (401 * z > w || 300 * z > h) z /= sqrt(2)
  printf "%.3f %d %d\n", z, 280 * z, (w - 401 * z) / 2 + 20 * z }')"
check "Fit zooms $zoom times, centred: the red line is $fw wide at $fx (want $want_w at $want_x)" \
  test $((fw - want_w)) -ge -2 -a $((fw - want_w)) -le 2 -a $((fx - want_x)) -ge -2 -a $((fx - want_x)) -le 2
keys_to "$win" ctrl+0
view_shot actual
check "Actual size shows the picture as it was" \
  test "$(compare -metric AE "$work/actual.png" "$work/client.png" null: 2>&1)" = 0
# A wheel notch up zooms in about the pointer: the point under it stays.
xdotool mousemove --window "$win" 20 $((top + ch - 41))
xdotool click 4
view_shot wheel
read -r ww wh wx wy <<<"$(red_box wheel)"
check "the wheel zooms in about the pointer ($ww by $wh at $wx,$wy)" \
  test "$ww" -ge 395 -a "$ww" -le 400 -a "$wx" -ge 19 -a "$wx" -le 21
# A drag pans: the picture follows the pointer.
xdotool mousemove --window "$win" 500 $((top + 300)) mousedown 1
for step in 1 2 3 4 5; do xdotool mousemove --window "$win" $((500 + 10 * step)) $((top + 300 - 6 * step)); sleep 0.1; done
xdotool mouseup 1
view_shot panned
read -r pw ph px py <<<"$(red_box panned)"
check "a drag pans the picture by (50, -30) ($((px - wx)), $((py - wy)))" test "$((px - wx)) $((py - wy))" = "50 -30"
# A far item widens the picture: Fit zooms out to keep it in view.
printf '2 4 -500 -500 -400 -500 ' >> "$file"
keys_to "$win" ctrl+f
view_shot far
read -r zw zh zx zy <<<"$(red_box far)"
check "Fit zooms out to a far item: the red line is shorter ($zw)" test "$zw" -lt 280 -a "$zw" -gt 100
check "and the far item is in view" \
  test "$(convert "$work/far.png" -crop "$((w / 2))x$((ch / 4))+0+$((ch * 3 / 4))" -fill black -fuzz 10% +opaque '#0080FF' -trim -format '%w' info: 2>/dev/null)" -gt 10
keys_to "$win" ctrl+0

# --- The label reads item coordinates: at 1:1, client column c and row r
# read (c, H - r); zoomed 2:1 about the bottom-left pixel, (200, H - 399)
# reads the same (100, 200). The label's box lies 12 pixels right of and
# below the pointer; its inside is cut out at $work/$1.png.
label_at() {
  xdotool mousemove --window "$win" "$2" $((top + $3)) mousedown 1
  wait_pixel "$win" $(($2 + 16)) $((top + $3 + 14)) 10 "#FFFFD2" || bad "no label at $2,$3"
  import -window "$win" "$work/label-shot.png"
  xdotool mouseup 1
  convert "$work/label-shot.png" -crop "40x10+$(($2 + 13))+$((top + $3 + 13))" +repage "$work/$1.png"
}
label_at label-1 100 $((ch - 200))
label_at label-other 101 $((ch - 200))
xdotool mousemove --window "$win" 0 $((top + ch - 1)) click 4 click 4
view_shot zoomed-2
# The view now takes item (x, y) to column 2x and rows H - 79 + 2(40 - y)
# and the next one: the red line (its last point not drawn) covers columns
# 40 to 599 on the two rows from H - 79.
check "zoomed 2:1 the red line lands on its rows ($(red_box zoomed-2))" \
  test "$(red_box zoomed-2)" = "560 2 +40 +$((ch - 79))"
label_at label-2 200 $((ch - 399))
check "the label reads the same coordinates at 1:1 and at 2:1" \
  test "$(compare -metric AE "$work/label-1.png" "$work/label-2.png" null: 2>&1)" = 0
check "and other coordinates differently" \
  test "$(compare -metric AE "$work/label-1.png" "$work/label-other.png" null: 2>&1)" != 0
keys_to "$win" ctrl+0

# --- Failures show a box and leave nothing behind: a missing folder, and a
# file larger than the process may write.
failing_save() {  # label, path, folder to check for leftovers
  save_as "$2"
  local box
  box=$(find_window "ZORVAd" 15)
  if [ -n "$box" ]; then
    ok "$1: a box"
    keys_to "$box" Return
  else
    bad "$1: no box"
  fi
  check "$1: nothing left behind" test -z "$(ls -A "$3" 2>/dev/null)"
}
failing_save "a missing folder" "$work/missing/x.png" "$work/missing"
printf '1 0 ' >> "$file"
check "the exit item closes the display" gone_window "ZORVA daemon" 20

# A display that may write files of 1 KB only (the signal for a larger one
# ignored, so the write fails instead).
mkdir "$work/small"
file="$work/small.zv"
printf '%s' "$picture" > "$file"
( trap '' XFSZ; ulimit -f 1; exec "$prog" "$file" ) &
pids+=("$!")
win=$(find_window "ZORVA daemon" 30)
if [ -n "$win" ]; then
  sleep 1
  failing_save "a file too large" "$work/small/big.png" "$work/small"
  # --- A close request while the dialog is open cancels the save, closes
  # the display and leaves no file.
  keys_to "$win" ctrl+s
  if [ -n "$(find_window "Save picture as" 20)" ]; then
    "$wmdelete" "$win"
    check "a close request during the save dialog closes the display" gone_window "ZORVA daemon" 20 ||
      import -window root "$work/close-during-dialog.png"
    check "and deletes the command file" gone_file "$file" 10
    check "and saves nothing" test -z "$(ls -A "$work/small")"
  else
    bad "no save dialog"
  fi
else
  bad "no display came up with a file-size limit"
fi

finish
