#!/usr/bin/env bash
# Zoom and save on a headless Wayland compositor: the display zooms to 2:1
# and saves PNG, SVG and PDF (the harness drives it from inside, as no input
# can be sent to weston's headless back end).
# Usage: run_explore_wayland_e2e.sh EXPLORE-APP
set -u
app=$1
. "$(dirname "$0")/../lib.sh"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
socket=zorva-wl
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 >"$work/weston.log" 2>&1 &
servers+=("$!")
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || { bad "weston did not start"; finish; exit 1; }
export WAYLAND_DISPLAY=$socket

# A red horizontal line at y = 230 across the window (768x461 here); zoomed
# 2:1 about the middle it stays in view, twice as thick.
file="$work/zoom.zv"
printf '0 0 4 3 255 0 0 2 4 0 230 800 230 ' > "$file"
timeout 60 "$app" "$file" "$work/z.png" "$work/z.svg" "$work/z.pdf" 2>"$work/err"; st=$?
check "the display zoomed, saved and closed on Wayland (status $st)" test "$st" = 0
check "the PNG was saved" test -s "$work/z.png"
check "the SVG was saved and decodes" rsvg-convert -o "$work/svg.png" "$work/z.svg"
check "the PDF was saved and decodes" pdftoppm -png -singlefile "$work/z.pdf" "$work/pdf"
if [ -s "$work/z.png" ]; then
  rows=$(convert "$work/z.png" -fill black -fuzz 10% +opaque '#FF0000' -trim -format '%h' info: 2>/dev/null)
  check "the zoomed line is 2 rows thick ($rows)" test "$rows" = 2
fi
finish
