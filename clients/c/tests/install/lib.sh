# Helpers of the install and package checks, on top of the helpers every
# whole-process test script shares (tests/e2e/lib.sh: $work, ok, bad,
# finish, gone_file). Source it after setting $here, this folder.
. "$here/../../../../tests/e2e/lib.sh"

# Checks that every path after $1 exists under the root $1.
expect_files() {
  local root=$1; shift
  for f in "$@"; do
    if [ -e "$root/$f" ]; then ok "$f is there"; else bad "$f is missing"; fi
  done
}

# Runs the draw program $1 without a display on a new file and compares the
# bytes with the shared picture $2; $3 names the check.
expect_picture() {
  local out="$work/$3.zv"
  if "$1" "$out" && cmp -s "$out" "$2"; then ok "$3 writes the picture's bytes"
  else bad "$3 did not write the picture's bytes"; fi
}

# Runs the draw program $1 with a display started by the library, found in
# its own prefix; the display removes the file once the exit item closes it.
expect_display() {
  local out="$work/$2-live.zv"
  if ! "$1" --launch "$out"; then bad "$2 could not start a display"; return; fi
  if gone_file "$out" 30; then ok "$2 started and closed a display"; else bad "$2's display did not close"; fi
}
