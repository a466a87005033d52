#!/usr/bin/env bash
# `cmake --install` into a staging folder: the listed files are there, and a
# user's program, in C or C++, builds against them with find_package(Zorva)
# and with pkg-config, writes the right bytes and starts the installed
# display.
# Usage: run_install_check.sh BUILD-DIR LIBDIR PICTURE
set -u
build=$1; libdir=$2; picture=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
stage="$work/stage"
# The installed library must find the installed display, not one on PATH.
export PATH=/usr/bin:/bin

cmake --install "$build" --prefix "$stage" > "$work/install.log" || { cat "$work/install.log"; exit 1; }
echo "installed files:"
(cd "$stage" && find . -type f -o -type l | sort | sed 's|^\./|  |')
expect_files "$stage" bin/zorvad bin/zorva-render \
  share/man/man1/zorvad.1.gz share/man/man1/zorva-render.1.gz share/man/man3/zorva.3.gz \
  share/doc/zorva/copyright share/doc/zorva/changelog.gz \
  include/zorva/zorva.h include/zorva/zorva.hpp \
  "$libdir/libzorva.so" "$libdir/libzorva.so.1" "$libdir/libzorva.a" \
  "$libdir/cmake/Zorva/ZorvaConfig.cmake" "$libdir/cmake/Zorva/ZorvaConfigVersion.cmake" \
  "$libdir/cmake/Zorva/ZorvaTargets.cmake" "$libdir/pkgconfig/zorva.pc"

# find_package(Zorva): the shared and the static library, and zorva.hpp.
if cmake -S "$here/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$stage" > "$work/consumer.log" 2>&1 &&
   cmake --build "$work/consumer" >> "$work/consumer.log" 2>&1; then
  ok "a project builds with find_package(Zorva)"
  expect_picture "$work/consumer/draw-shared" "$picture" "Zorva::zorva"
  expect_picture "$work/consumer/draw-static" "$picture" "Zorva::zorva_static"
  expect_picture "$work/consumer/draw-cpp" "$picture" "zorva.hpp"
  expect_display "$work/consumer/draw-shared" "Zorva::zorva"
  expect_display "$work/consumer/draw-cpp" "zorva.hpp"
else
  cat "$work/consumer.log"; bad "find_package(Zorva) failed"
fi

# pkg-config: the file finds its prefix from where it lies.
export PKG_CONFIG_PATH="$stage/$libdir/pkgconfig"
if cc -o "$work/draw-pc" "$here/draw.c" $(pkg-config --cflags --libs zorva) \
     -Wl,-rpath,"$(pkg-config --variable=libdir zorva)"; then
  ok "a program builds with pkg-config"
  expect_picture "$work/draw-pc" "$picture" "pkg-config build"
else
  bad "the pkg-config build failed"
fi
if c++ -std=c++17 -o "$work/draw-cpp-pc" "$here/draw.cpp" $(pkg-config --cflags --libs zorva) \
     -Wl,-rpath,"$(pkg-config --variable=libdir zorva)"; then
  ok "a C++ program builds with pkg-config"
  expect_picture "$work/draw-cpp-pc" "$picture" "pkg-config C++ build"
else
  bad "the pkg-config C++ build failed"
fi

finish
