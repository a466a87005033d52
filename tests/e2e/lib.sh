# Helpers of the whole-process test scripts (tests/e2e/*/run_*.sh and the
# install checks of clients/c/tests/install). Source it right after `set -u`.
# It makes $work, a scratch folder, and at exit ends what the script started
# and removes $work (KEEP=1 keeps it and says where). Every wait has a
# time-out in seconds.

work=$(mktemp -d)
passed=0; failed=0
pids=()     # this script's background processes, ended at exit
servers=()  # display servers it started, ended after those

ok()  { echo "ok: $1"; passed=$((passed + 1)); }
bad() { echo "FAIL: $1"; failed=$((failed + 1)); }
# A check named $1 that passes when the command after it succeeds.
check() {
  local what=$1; shift
  if "$@"; then ok "$what"; else bad "$what"; fi
}
# The script's last command: prints the counts; false after any failure.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# At exit: the script's own on_exit (when it defines one), then its
# processes (continued, so that a stopped one ends too), its servers, $work.
end_everything() {
  declare -F on_exit >/dev/null && on_exit
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null && kill -CONT "$p" 2>/dev/null; done
  for p in "${servers[@]}"; do kill "$p" 2>/dev/null; done
  if [ -n "${KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap end_everything EXIT

# Ends the running programs named like $1 whose environment holds $2
# (VAR=value, e.g. DISPLAY=:5): displays that a launcher detached, which are
# not this script's children, on this test's display only.
end_detached() {
  local p
  for p in $(pgrep -x "$(basename "$1")"); do
    { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF -- "$2" && kill "$p" 2>/dev/null
  done
}

# Starts an X server of its own with screen $1 (default 1024x768x24) and
# sets $DISPLAY and $server (its pid). -noreset keeps it as it is while no
# client is connected; its number is read from -displayfd up to the newline.
# A server that does not come up within 60 s ends the script.
start_xvfb() {
  local fdfile number=
  fdfile=$(mktemp -p "$work" xvfb.XXXXXX)
  Xvfb -noreset -nolisten tcp -displayfd 5 -screen 0 "${1:-1024x768x24}" 5>"$fdfile" 2>"$fdfile.log" &
  server=$!
  servers+=("$server")
  for _ in $(seq 600); do
    [ "$(wc -l <"$fdfile")" -ge 1 ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  [ "$(wc -l <"$fdfile")" -ge 1 ] && read -r number <"$fdfile"
  if [ -z "$number" ]; then
    bad "Xvfb did not start: $(cat "$fdfile.log")"
    finish
    exit 1
  fi
  export DISPLAY=":$number"
}

# Runs a command in the background: sets $rpid, and the files $out_file,
# $err_file and $status_file, where its standard output, its standard error
# and, once it has ended, its exit status land.
runs=0
run_bg() {
  runs=$((runs + 1))
  out_file="$work/out.$runs"; err_file="$work/err.$runs"; status_file="$work/status.$runs"
  ( "$@" >"$out_file" 2>"$err_file"; echo $? >"$status_file" ) &
  rpid=$!
  pids+=("$rpid")
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
# Waits at most $2 s for the end of this shell's child $1 and sets $st to
# its exit status ("running" if it has not ended). The status is asked for
# only once the shell has reaped the child (kill -0 fails; a zombie still
# answers it): before that, in a shell with job control, a child that was
# stopped and continued can still be on record as stopped, and `wait`, even
# `wait -f`, may then give the stop's status (128+19) for its end.
await_end() {
  st=running
  for _ in $(seq $(( ${2:-15} * 10 ))); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"
      st=$?
      return 0
    fi
    sleep 0.1
  done
}
# Whether file $1 is gone, waiting at most $2 s.
gone_file() {
  for _ in $(seq $(( ${2:-5} * 10 ))); do
    [ -e "$1" ] || return 0
    sleep 0.1
  done
  return 1
}

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
# The size of window $1 as WxH.
window_size() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p'
}
window_height() {
  local size
  size=$(window_size "$1")
  echo "${size#*x}"
}

# The colour of pixel ($2, $3) of image $1, as #RRGGBB.
pixel_of() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -n 1
}
# The colour of pixel ($2, $3) of window $1, from a screenshot left in
# $work/shot.png.
pixel() {
  import -window "$1" "$work/shot.png" 2>/dev/null
  pixel_of "$work/shot.png" "$2" "$3"
}
# Waits at most $4 s until pixel ($2, $3) of window $1 is colour $5.
wait_pixel() {
  for _ in $(seq $(( $4 * 4 ))); do
    [ "$(pixel "$1" "$2" "$3")" = "$5" ] && return 0
    sleep 0.25
  done
  return 1
}
# Takes screenshots of window $1 a second apart until two agree, at most $2
# times; the last one is $work/settled.png. False when none agreed.
settled_shot() {
  for _ in $(seq "$2"); do
    import -window "$1" "$work/unsettled.png" 2>/dev/null
    sleep 1
    import -window "$1" "$work/settled.png" 2>/dev/null
    [ "$(compare -metric AE "$work/unsettled.png" "$work/settled.png" null: 2>&1)" = 0 ] && return 0
  done
  return 1
}
# The top row of the client area in the screenshot $1 of a display window:
# the first row whose right-most pixel is the black background (the menu
# bar above it is not black; the pictures of the tests stay left of that
# column).
client_top() {
  local width
  width=$(identify -format '%w' "$1")
  convert "$1" -crop "1x100000+$((width - 1))+0" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[,:]' '/#000000/ { print $2; exit }'
}
