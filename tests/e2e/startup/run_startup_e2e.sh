#!/usr/bin/env bash
# How zorvad starts and how its boxes behave, as a user at a terminal sees
# it: without any display (one line, status 1, the file kept, no toolkit
# text), the launcher passing on why its display could not start, readiness
# before the first box, boxes echoed to standard error, box texts shown
# literally, and a Yes/No report that Esc and the window manager's close leave
# standing. Starts its own Xvfb. Every wait has a time-out.
# Usage: run_startup_e2e.sh ZORVAD FRAMEWORK-APP WM-CLOSE
# Prints "N passed, N failed" at the end; exits non-zero on any failure.
set -u
prog=$(realpath "$1") app=$(realpath "$2") wm_close=$(realpath "$3")
. "$(dirname "$0")/../lib.sh"
# Displays started by the launcher are not this script's children: those on
# this test's X server are ended at exit.
on_exit() { [ ${#servers[@]} -gt 0 ] && end_detached "$prog" "DISPLAY=$DISPLAY"; }

# Toolkit text a user must never see.
toolkit_text() { grep -Eiq 'qt\.|plugin|QStandardPaths|xcb|Aborted|core dumped' "$1"; }

# Qt needs a private runtime directory; a desktop session has one.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# --- No display at all: one line naming what was tried, status 1, the file
# kept, no toolkit text; the launcher passes the line on with status 1.
no_screen() {  # label, expected text, env assignments...
  local label=$1 want=$2; shift 2
  local file="$work/noscreen.zv"
  printf '2 4 1 1 5 5 ' > "$file"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 20 "$prog" "$file" \
    >"$work/out" 2>"$work/err"
  local st=$?
  if [ "$st" = 1 ] && [ "$(wc -l < "$work/err")" = 1 ] && grep -qF -- "$want" "$work/err" &&
     ! toolkit_text "$work/err" && [ ! -s "$work/out" ] && [ -e "$file" ]; then
    ok "no screen ($label): status 1, one line: $(cat "$work/err")"
  else
    bad "no screen ($label): status $st, stderr: $(cat "$work/err"), file $( [ -e "$file" ] && echo kept || echo gone)"
  fi

  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 40 "$prog" -d "$file" \
    >"$work/out" 2>"$work/err"
  st=$?
  if [ "$st" = 1 ] && [ "$(wc -l < "$work/err")" = 1 ] && grep -qF -- "$want" "$work/err" &&
     ! toolkit_text "$work/err" && [ -e "$file" ]; then
    ok "no screen ($label): the launcher says why, status 1"
  else
    bad "no screen ($label): launcher status $st, stderr: $(cat "$work/err")"
  fi
}
unused=4711
while [ -e "/tmp/.X11-unix/X$unused" ]; do unused=$((unused + 1)); done
no_screen "nothing set" "neither DISPLAY nor WAYLAND_DISPLAY is set"
no_screen "X display gone" "X display \":$unused\"" DISPLAY=":$unused"
no_screen "Wayland display gone" "Wayland display \"wl-none\"" WAYLAND_DISPLAY=wl-none
no_screen "explicit xcb" "X display (DISPLAY is not set)" QT_QPA_PLATFORM=xcb
no_screen "a platform that is not installed" 'no platform "bogus" is installed' QT_QPA_PLATFORM=bogus

# An explicit platform is honoured: offscreen needs no display.
file="$work/offscreen.zv"
: > "$file"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen timeout 40 "$prog" -d "$file" 2>"$work/err"
st=$?
printf '1 0 ' >> "$file"
if [ "$st" = 0 ] && gone_file "$file" 5; then
  ok "QT_QPA_PLATFORM=offscreen is honoured: ready, then an exit item ends it"
else
  bad "offscreen: launcher status $st, file $( [ -e "$file" ] && echo kept || echo gone)"
fi

# --- From here on a real X display.
start_xvfb
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# --- A low limit of open files: the display raises it to the hard limit and
# comes up; a hard limit too low for it is one line and status 1.
file="$work/fds.zv"
: > "$file"
( ulimit -Sn 12; timeout 40 "$prog" -d "$file" ) 2>"$work/err"; st=$?
printf '1 0 ' >> "$file"
if [ "$st" = 0 ] && gone_file "$file" 15; then
  ok "with a soft limit of 12 open files the display comes up and closes"
else
  bad "soft limit 12: launcher status $st, stderr: $(cat "$work/err")"
fi
: > "$work/fds2.zv"
( ulimit -n 40; timeout 20 "$prog" "$work/fds2.zv" ) >"$work/out" 2>"$work/err"; st=$?
if [ "$st" = 1 ] && [ "$(wc -l < "$work/err")" = 1 ] && grep -q "limit of open files (40)" "$work/err"; then
  ok "a hard limit of 40 open files: $(cat "$work/err")"
else
  bad "hard limit 40: status $st, stderr: $(cat "$work/err")"
fi

answer() {  # window name: press Return in it
  local w
  w=$(find_window "$1" "${2:-15}")
  [ -n "$w" ] && keys_to "$w" Return
  [ -n "$w" ]
}

# --- The launcher returns at once when its display shows the missing-file
# boxes: the display waits for the user, which is what the launcher waits for.
missing="$work/missing.zv"
timeout 40 "$prog" -d "$missing" 2>"$work/err"; st=$?
box=$(find_window "File name" 10)
if [ "$st" = 0 ] && [ -n "$box" ] && [ ! -s "$work/err" ]; then
  ok "launcher on a missing file: status 0 while the 'File name' box waits"
else
  bad "launcher on a missing file: status $st, box '$box', stderr: $(cat "$work/err")"
fi
[ -n "$box" ] && keys_to "$box" Return
answer "Error" 10 || bad "launcher on a missing file: no second box"
gone_window "Error" 5 || bad "the second box stayed"

# --- Boxes before the window also reach standard error, each as one line.
run_bg "$prog" "$missing"
if answer "File name" && answer "Error"; then
  st=$(status_of "$status_file" 10)
  expected=$(printf 'File name: %s\nError: Error opening file. Quiting.' "$missing")
  if [ "$st" = 1 ] && [ "$(cat "$err_file")" = "$expected" ]; then
    ok "missing file: both boxes on standard error, status 1"
  else
    bad "missing file: status $st, stderr: $(cat "$err_file")"
  fi
else
  bad "missing file: boxes not shown"
fi

run_bg "$prog" a b c
if answer "ZORVAd"; then
  st=$(status_of "$status_file" 10)
  if [ "$st" = 1 ] && [ "$(cat "$err_file")" = "ZORVAd: Usage: zorvad [-d] [file]" ]; then
    ok "usage: the box's text on standard error, status 1"
  else
    bad "usage: status $st, stderr: $(cat "$err_file")"
  fi
else
  bad "usage: no box"
fi

# A display whose window is up writes nothing more there: its About box is
# no start-up message.
file="$work/about.zv"
: > "$file"
run_bg "$prog" "$file"
win=$(find_window "ZORVA daemon")
if [ -n "$win" ]; then
  keys_to "$win" alt+h a
  answer "ZORVAd" 10 || bad "no About box"
  printf '1 0 ' >> "$file"
  st=$(status_of "$status_file" 10)
  if [ "$st" = 0 ] && [ ! -s "$err_file" ]; then
    ok "a box after the window appeared stays off standard error"
  else
    bad "About after the window: status $st, stderr: $(cat "$err_file")"
  fi
else
  bad "display: no window"
fi

# --- Box texts are shown as written. A relative file name that begins with
# markup would be drawn as a bold "x": the box would then be as narrow as for
# "x.zv", not as wide as for the same number of plain characters.
box_width() {  # file name; sets $width and $width_err (its standard error)
  run_bg "$prog" "$1"
  local w
  w=$(find_window "File name")
  width=$(window_size "$w" 2>/dev/null)
  width=${width%x*}
  width=${width:-0}
  width_err=$err_file
  [ -n "$w" ] && keys_to "$w" Return
  answer "Error" 10 >/dev/null
  status_of "$status_file" 10 >/dev/null
}
cd "$work" || exit 1
tail=".........................................."
box_width "<b>x</b>.zv$tail"; marked=$width; marked_err=$width_err
box_width "_b_x__b_.zv$tail"; plain=$width
box_width "x.zv$tail"; short=$width
if [ "$marked" -gt 0 ] && [ $((marked - plain)) -le 25 ] && [ $((plain - marked)) -le 25 ] &&
   [ "$marked" -gt $((short + 30)) ] && grep -qxF "File name: <b>x</b>.zv$tail" "$marked_err"; then
  ok "a file name with markup is shown literally (box widths $marked, plain $plain, as markup $short)"
else
  bad "markup in a box: widths $marked, plain $plain, as markup $short; stderr: $(cat "$marked_err")"
fi

# --- A Yes/No report ends only by Yes or No: Esc and the window manager's
# close leave it standing.
report_case() {  # key that answers, expected status
  local key=$1 expected=$2
  run_bg "$app"
  local main report st
  main=$(find_window "Framework E2E")
  [ -n "$main" ] || { bad "report: no main window"; return; }
  keys_to "$main" alt+h a
  answer "E2E About" || { bad "report: no About box"; return; }
  report=$(find_window "Unhandled Exception")
  [ -n "$report" ] || { bad "report: no report"; return; }
  keys_to "$report" Escape
  sleep 0.5
  local afterEscape afterClose
  afterEscape=$(xdotool search --onlyvisible --name '^Unhandled Exception$' 2>/dev/null)
  "$wm_close" "$report" || bad "report: the close request was not sent"
  sleep 0.5
  afterClose=$(xdotool search --onlyvisible --name '^Unhandled Exception$' 2>/dev/null)
  if [ -n "$afterEscape" ] && [ -n "$afterClose" ] && [ ! -s "$status_file" ]; then
    ok "Esc and the window manager's close leave the Yes/No report standing"
  else
    bad "the Yes/No report ended without Yes or No (after Esc: '$afterEscape', after close: '$afterClose')"
    kill "$rpid" 2>/dev/null
    return
  fi
  keys_to "$report" "$key"
  if [ "$expected" = 0 ]; then
    sleep 0.5
    [ -s "$status_file" ] && { bad "Yes did not resume"; return; }
    keys_to "$main" alt+e e
  fi
  st=$(status_of "$status_file" 10)
  [ "$st" = "$expected" ] && ok "the report answered by '$key': status $st" ||
    bad "report answered by '$key': status $st, expected $expected"
}
report_case Return 0
report_case alt+n 255

# An OK box still ends by Esc or by the window manager's close.
run_bg "$prog" "$work/missing-again.zv"
box=$(find_window "File name")
if [ -n "$box" ]; then
  keys_to "$box" Escape
  box2=$(find_window "Error" 10)
  [ -n "$box2" ] && "$wm_close" "$box2"
  st=$(status_of "$status_file" 10)
  [ "$st" = 1 ] && [ -n "$box2" ] && ok "OK boxes end by Esc and by the window manager's close" ||
    bad "OK boxes: second box '$box2', status $st"
else
  bad "OK boxes: no 'File name' box"
fi

finish
