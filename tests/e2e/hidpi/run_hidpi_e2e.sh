#!/usr/bin/env bash
# The display on a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2 under
# xvfb-run): one drawing unit stays one logical pixel, so a line lands on
# two device rows in full colour, while text is drawn at the device's
# resolution (not pixel-doubled); zorva-render --scale 2 draws the same
# picture at twice the size.
# Usage: run_hidpi_e2e.sh ZORVAD ZORVA-RENDER
# Every wait has a time-out. Prints "N passed, N failed"; exits non-zero on
# any failure.
set -u
prog=$1; render=$2
. "$(dirname "$0")/../lib.sh"

# A red line at y = 20 and a white text whose glyphs have curved edges.
file="$work/picture.zv"
printf '%s\n' '0 0 ' '4 3 255 0 0 ' '2 4 10 20 300 20 ' '5 3 255 255 255 ' '8 1 24 ' \
  '3 4 20 100 9 Sharp ego' > "$file"

# How many device pixels of the box $2 (WxH+X+Y) of image $1 differ from
# their right-hand neighbour in an even column pair: 0 for a picture whose
# every pixel was doubled.
undoubled() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null | awk -F'[,: ]+' '
    /^[0-9]/ { c[$1 "," $2] = substr($0, index($0, "#"), 7); if ($1 > mx) mx = $1; if ($2 > my) my = $2 }
    END { n = 0; for (y = 0; y <= my; y++) for (x = 0; x + 1 <= mx; x += 2) if (c[x "," y] != c[(x + 1) "," y]) n++; print n }'
}
# Checks image $1 whose client area starts at device row $2 and is $3
# logical pixels high; $4 names it.
check_picture() {
  local img=$1 top=$2 h=$3 what=$4
  local row=$((top + 2 * (h - 20)))
  local above below on1 on2
  on1=$(pixel_of "$img" 200 "$row"); on2=$(pixel_of "$img" 200 $((row + 1)))
  above=$(pixel_of "$img" 200 $((row - 1))); below=$(pixel_of "$img" 200 $((row + 2)))
  if [ "$on1" = "#FF0000" ] && [ "$on2" = "#FF0000" ] && [ "$above" = "#000000" ] && [ "$below" = "#000000" ]; then
    ok "$what: the line at y = 20 covers device rows 2(H-20) and 2(H-20)+1 in full colour"
  else
    bad "$what: rows around $row at x=200: $above / $on1 / $on2 / $below"
  fi
  # The text's cell: logical (20, H-100) down 24 rows, some 120 wide.
  local n
  n=$(undoubled "$img" "240x48+40+$((top + 2 * (h - 100)))")
  if [ "${n:-0}" -gt 0 ]; then
    ok "$what: text is drawn at device resolution ($n pixels differ from their pair)"
  else
    bad "$what: the text looks pixel-doubled (or is missing)"
  fi
}

QT_SCALE_FACTOR=2 "$prog" "$file" 2>"$work/err" &
pids+=("$!")
win=$(find_window "ZORVA daemon" 30)
if [ -z "$win" ]; then
  bad "no window: $(cat "$work/err")"
else
  size=$(window_size "$win")
  w=${size%x*}; hh=${size#*x}
  sleep 1
  import -window "$win" "$work/shot.png" 2>/dev/null
  # The client area is the rest of the window below its top row.
  top=$(client_top "$work/shot.png")
  if [ -z "$top" ] || [ $(((hh - top) % 2)) -ne 0 ]; then
    bad "no client area of an even device height in the ${w}x$hh window (top '$top')"
  else
    h=$(((hh - top) / 2))
    ok "the client area is $((w / 2))x$h logical pixels at ratio 2"
    check_picture "$work/shot.png" "$top" "$h" "window"
    # zorva-render --scale 2 of the same file at the same logical size
    if "$render" --size "$((w / 2))x$h" --scale 2 -o "$work/scaled.png" "$file" 2>"$work/render.err"; then
      size=$(identify -format '%wx%h' "$work/scaled.png")
      if [ "$size" = "$((w / 2 * 2))x$((h * 2))" ]; then
        ok "zorva-render --scale 2 writes a ${size} picture"
      else
        bad "zorva-render --scale 2 wrote $size"
      fi
      check_picture "$work/scaled.png" 0 "$h" "zorva-render --scale 2"
    else
      bad "zorva-render --scale 2 failed: $(cat "$work/render.err")"
    fi
  fi
  printf '1 0 \n' >> "$file"
  gone_window "ZORVA daemon" 20 || bad "the exit item did not close the display"
fi

finish
