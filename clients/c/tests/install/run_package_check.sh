#!/usr/bin/env bash
# `cpack -G DEB`: the four packages (zorva, libzorva1, libzorva-dev,
# python3-zorva), their dependencies and files, lintian without errors or
# warnings, and their programs, library and Python client run from a
# temporary root (dpkg-deb -x), never installed on this machine.
# Usage: run_package_check.sh BUILD-DIR PICTURE
set -u
build=$1; picture=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../../../.." && pwd)
. "$here/lib.sh"
export PATH=/usr/bin:/bin

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" > "$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "cpack failed"; exit 1
fi
deb_of() { ls "$work"/pkg/"$1"_*.deb 2> /dev/null; }
for p in zorva libzorva1 libzorva-dev python3-zorva; do
  if [ -n "$(deb_of $p)" ]; then ok "package $p is built"; else bad "no package $p"; fi
done
for deb in "$work"/pkg/*.deb; do echo "== $(basename "$deb")"; dpkg -I "$deb"; done

# expect_depends PACKAGE DEPENDENCY...: each dependency is named.
expect_depends() {
  local package=$1; shift
  local depends; depends=$(dpkg-deb -f "$(deb_of "$package")" Depends)
  for d in "$@"; do
    if echo ", $depends," | grep -q ", $d[ ,(]"; then ok "$package depends on $d"; else bad "$package: no dependency on $d"; fi
  done
}
expect_depends zorva qt6-qpa-plugins qt6-wayland libqt6svg6 fonts-dejavu-core fonts-liberation2 libc6 \
  libqt6gui6 libqt6widgets6 libstdc++6
expect_depends libzorva1 libc6
expect_depends libzorva-dev libzorva1
expect_depends python3-zorva python3:any zorva
if dpkg-deb -f "$(deb_of libzorva-dev)" Depends | grep -q "libzorva1 (= "; then
  ok "libzorva-dev needs its own version of libzorva1"
else
  bad "libzorva-dev does not pin libzorva1's version"
fi
[ "$(dpkg-deb -f "$(deb_of python3-zorva)" Architecture)" = all ] && ok "python3-zorva is for all architectures" ||
  bad "python3-zorva is not Architecture: all"
shlibs=$(dpkg-deb --ctrl-tarfile "$(deb_of libzorva1)" | tar -xO ./shlibs 2> /dev/null)
[ "$shlibs" = "libzorva 1 libzorva1 (>= 1.0.0)" ] && ok "libzorva1's shlibs: $shlibs" || bad "libzorva1's shlibs: '$shlibs'"
scripts=$(dpkg-deb --ctrl-tarfile "$(deb_of libzorva1)" | tar -t | grep -E 'post(inst|rm)')
[ -z "$scripts" ] && ok "libzorva1 leaves ldconfig to its trigger" || bad "libzorva1 has maintainer scripts: $scripts"

# The distribution's hardening in every program and the library.
root="$work/root"
for deb in "$work"/pkg/*.deb; do dpkg-deb -x "$deb" "$root"; done
libdir=$(dirname "$(find "$root" -name zorva.pc)")/..
for elf in "$root/usr/bin/zorvad" "$root/usr/bin/zorva-render" "$libdir/libzorva.so.1"; do
  name=$(basename "$elf")
  dynamic=$(readelf -d "$elf")
  echo "$dynamic" | grep -q 'BIND_NOW' && ok "$name is bound now" || bad "$name is not bound now"
  readelf -lW "$elf" | grep -q GNU_RELRO && ok "$name has relro" || bad "$name has no relro"
  if [ "$name" != libzorva.so.1 ]; then
    readelf -h "$elf" | grep -q 'DYN (Position-Independent' && ok "$name is position independent" ||
      bad "$name is not position independent"
  fi
  readelf -sW "$elf" | grep -q '__stack_chk_fail' && ok "$name has the stack protector" ||
    bad "$name has no stack protector"
done
readelf -sW "$root/usr/bin/zorvad" | grep -q '_chk@' && ok "zorvad calls fortified functions" ||
  bad "zorvad calls no fortified function"

if command -v lintian > /dev/null; then
  lintian -I --pedantic --tag-display-limit 0 "$work"/pkg/*.deb > "$work/lintian.log" 2>&1
  cat "$work/lintian.log"
  complaints=$(grep -c '^[EW]: ' "$work/lintian.log")
  if [ "$complaints" -eq 0 ]; then ok "lintian reports no errors or warnings"
  else bad "lintian reports $complaints errors or warnings"; fi
else
  echo "lintian is not installed: skipped"
fi

expect_files "$root" usr/bin/zorvad usr/bin/zorva-render \
  usr/share/man/man1/zorvad.1.gz usr/share/man/man1/zorva-render.1.gz usr/share/man/man3/zorva.3.gz \
  usr/include/zorva/zorva.h usr/lib/python3/dist-packages/zorva/__init__.py
for p in zorva libzorva1 libzorva-dev python3-zorva; do
  expect_files "$root" "usr/share/doc/$p/copyright" "usr/share/doc/$p/changelog.gz"
done
# The text of the licence paragraph (the second "License: Expat"), each line
# indented, "." for a blank one.
if awk 'body; /^License: Expat$/ { body = ++seen == 2 }' "$root/usr/share/doc/zorva/copyright" | sed 's/^ //; s/^\.$//' |
     cmp -s - "$source_dir/LICENSE"; then
  ok "the copyright file holds LICENSE"
else
  bad "the copyright file does not hold LICENSE"
fi
# Each package holds only its own part.
[ "$(dpkg-deb -c "$(deb_of libzorva1)" | grep -c 'libzorva\.\(a\|so \)')" -eq 0 ] &&
  ok "libzorva1 holds no development files" || bad "libzorva1 holds development files"
[ "$(dpkg-deb -c "$(deb_of libzorva-dev)" | grep -c 'libzorva.so -> ')" -eq 1 ] && ok "libzorva-dev holds the development link" ||
  bad "libzorva-dev lacks the development link"

if "$root/usr/bin/zorva-render" --help | grep -q '^Usage: zorva-render'; then
  ok "zorva-render --help runs from the package"
else
  bad "zorva-render --help failed from the package"
fi
"$root/usr/bin/zorva-render" --size 400x300 -o "$work/packaged.png" "$picture" &&
  "$build/bin/zorva-render" --size 400x300 -o "$work/built.png" "$picture" &&
  cmp -s "$work/packaged.png" "$work/built.png" &&
  ok "the packaged zorva-render draws the picture as the built one does" ||
  bad "the packaged zorva-render's picture differs or failed"

# A program built against the package's library starts the package's display.
export PKG_CONFIG_PATH="$(dirname "$(find "$root" -name zorva.pc)")"
if cc -o "$work/draw" "$here/draw.c" $(pkg-config --cflags --libs zorva) \
     -Wl,-rpath,"$(pkg-config --variable=libdir zorva)"; then
  ok "a program builds against the package"
  expect_picture "$work/draw" "$picture" "the package's library"
  expect_display "$work/draw" "the package's library"
else
  bad "building against the package failed"
fi

# The Python client from the package's Python path writes the same picture.
if PYTHONPATH="$root/usr/lib/python3/dist-packages:$source_dir/tests/e2e/python" /usr/bin/python3 - \
     "$work/python.zv" "$root" <<'EOF'
import sys
import zorva
from picture_client import picture
assert zorva.__file__.startswith(sys.argv[2]), zorva.__file__
with zorva.open(sys.argv[1], launch=False) as z:
    picture(z)
EOF
then
  cmp -s "$work/python.zv" "$picture" && ok "python3-zorva writes the picture's bytes" ||
    bad "python3-zorva wrote other bytes"
else
  bad "python3-zorva could not draw"
fi

finish
