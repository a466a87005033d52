# Helpers the end-to-end scripts share; source it after setting $work (a
# scratch folder). Every wait has a time-out in seconds.

# The id of a visible window whose name is exactly $1, waiting at most $2 s.
find_window() {
  timeout "${2:-15}" xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}
# Whether no visible window named exactly $1 is left, waiting at most $2 s.
gone_window() {
  for _ in $(seq $(( ${2:-10} * 10 ))); do
    [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0
    sleep 0.1
  done
  return 1
}
# Focuses window $1 and types the keys that follow. Each key is released
# again by name: when the box it answers vanishes on the press, the release
# can be lost and the key would stay down and answer the next box.
keys_to() {
  local w=$1; shift
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  sleep 0.3
  xdotool key --delay 150 "$@"
  for k in "$@"; do xdotool keyup "${k##*+}" 2>/dev/null; done
  return 0
}
# The exit status written to file $1, waiting at most $2 s ("running" if
# none came).
status_of() {
  for _ in $(seq $(( ${2:-15} * 10 ))); do
    [ -s "$1" ] && { cat "$1"; return; }
    sleep 0.1
  done
  echo running
}
# The colour of pixel ($2, $3) of window $1, as #RRGGBB.
pixel() {
  import -window "$1" "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -n 1
}
window_height() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p'
}
# Waits at most $4 s until pixel ($2, $3) of window $1 is colour $5.
wait_pixel() {
  for _ in $(seq $(( $4 * 4 ))); do
    [ "$(pixel "$1" "$2" "$3")" = "$5" ] && return 0
    sleep 0.25
  done
  return 1
}
