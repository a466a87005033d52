#!/usr/bin/env bash
# `cpack -G DEB`: the package's dependencies, its files, lintian where it is
# installed, and its programs and library run from a temporary root
# (dpkg-deb -x), never installed on this machine.
# Usage: run_package_check.sh BUILD-DIR PICTURE
set -u
build=$1; picture=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
export PATH=/usr/bin:/bin

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" > "$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "cpack failed"; exit 1
fi
deb=$(ls "$work"/pkg/*.deb)
echo "package: $(basename "$deb")"
dpkg -I "$deb"

depends=$(dpkg-deb -f "$deb" Depends)
for p in qt6-qpa-plugins qt6-wayland fonts-dejavu-core fonts-liberation2 libc6 libqt6gui6 \
         libqt6widgets6 libqt6svg6 libstdc++6; do
  if echo ", $depends," | grep -q ", $p[ ,(]"; then ok "depends on $p"; else bad "no dependency on $p"; fi
done

if command -v lintian > /dev/null; then
  lintian --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1
  cat "$work/lintian.log"
  errors=$(grep -c '^E: ' "$work/lintian.log")
  if [ "$errors" -eq 0 ]; then ok "lintian reports no errors"; else bad "lintian reports $errors errors"; fi
else
  echo "lintian is not installed: skipped"
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
expect_files "$root" usr/bin/zorvad usr/bin/zorva-render usr/include/zorva/zorva.h \
  usr/share/man/man1/zorvad.1.gz usr/share/man/man1/zorva-render.1.gz \
  usr/share/doc/zorva/copyright usr/share/doc/zorva/changelog.gz

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
libdir=$(dirname "$(find "$root" -name zorva.pc)")
export PKG_CONFIG_PATH="$libdir"
if cc -o "$work/draw" "$here/draw.c" $(pkg-config --cflags --libs zorva) \
     -Wl,-rpath,"$(pkg-config --variable=libdir zorva)"; then
  ok "a program builds against the package"
  expect_picture "$work/draw" "$picture" "the package's library"
  expect_display "$work/draw" "the package's library"
else
  bad "building against the package failed"
fi

finish
