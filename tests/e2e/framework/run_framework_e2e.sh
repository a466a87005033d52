#!/usr/bin/env bash
# Drives e2e_framework_app on the X display: uncovers part of its window
# (a repaint of just that part follows), opens Help > About with the
# keyboard, answers the About box and the exception report, and checks the
# exit status: Yes resumes (then Edit > Exit ends with 0), No ends with 255.
set -u
prog=$1
. "$(dirname "$0")/../lib.sh"
log="$work/log"

fail() {
  echo "FAIL: $*"
  echo "--- program output:"
  cat "$log"
  exit 1
}

run_case() {
  local answer=$1 expected=$2
  : >"$log"
  "$prog" >"$log" 2>&1 &
  pid=$!
  pids+=("$pid")
  main=$(find_window "Framework E2E")
  [ -n "$main" ] || fail "no main window"
  for _ in $(seq 100); do grep -q ready "$log" && break; sleep 0.1; done
  grep -q ready "$log" || fail "no first exposure"

  if [ "$answer" = Return ]; then
    # Cover part of the window with another one, then uncover it: the
    # uncovered part is repainted, not the whole client area.
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xlogo -geometry "40x30+$((X + 60))+$((Y + 80))" &
    cover=$!
    timeout 10 xdotool search --sync --onlyvisible --class xlogo >/dev/null 2>&1 || fail "no covering window"
    sleep 0.5
    before=$(grep -c '^paint' "$log")
    kill "$cover"; wait "$cover" 2>/dev/null
    for _ in $(seq 50); do [ "$(grep -c '^paint' "$log")" -gt "$before" ] && break; sleep 0.1; done
    last=$(grep '^paint' "$log" | tail -n 1)
    first=$(grep '^paint' "$log" | head -n 1)
    [ "$(grep -c '^paint' "$log")" -gt "$before" ] || fail "no repaint after the uncovering"
    IFS=', ' read -r _ l t r b <<<"$last"
    [ $((r - l)) -le 60 ] && [ $((b - t)) -le 50 ] && [ $((r - l)) -gt 0 ] ||
      fail "the uncovering repainted more than the uncovered part: $last"
    echo "first $first, uncovered $last"
  fi

  keys_to "$main" alt+h a
  about=$(find_window "E2E About")
  [ -n "$about" ] || fail "no About box"
  keys_to "$about" Return

  report=$(find_window "Unhandled Exception")
  [ -n "$report" ] || fail "no exception report"
  keys_to "$report" "$answer"

  if [ "$answer" = Return ]; then
    # Resumed: the window is still there and its menu still works.
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "Yes did not resume"
    keys_to "$main" alt+e e
  fi
  await_end "$pid" 15
  [ "$st" = running ] && fail "the program did not end"
  status=$st
  [ "$status" = "$expected" ] || fail "answer $answer: status $status, expected $expected"
  if [ "$expected" = 0 ]; then
    grep -q CanClose "$log" || fail "Exit did not ask CanClose"
  fi
  echo "answer $answer: status $status"
}

run_case Return 0
run_case alt+n 255
echo PASS
