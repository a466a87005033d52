#!/usr/bin/env bash
# The README's install section, followed literally into a prefix in a
# temporary home: its commands run as written (HOME is the temporary
# folder, so ~/zorva lies there), in a folder that holds the programs the
# section names (readme/draw.c, draw.cpp, draw.py) and a copy of
# clients/python. Three kinds of lines are not run: the configure and build
# lines (the test's build folder stands in for the section's, so nothing is
# built twice; they are checked to build once, without tests, in one build
# type), lines for the whole system (sudo) and the Debian packages (the
# package check builds them). The C, C++ and Python programs each start a
# display from the prefix, draw and close it.
# Usage: run_readme_install_check.sh BUILD-DIR SOURCE-DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
# Nothing found on the way but the prefix: no zorvad on PATH, none named.
export PATH=/usr/bin:/bin
unset ZORVAD PKG_CONFIG_PATH CMAKE_PREFIX_PATH PYTHONPATH

# The install section's commands, continued lines joined, comments dropped.
awk '/^## Install$/ { inside = 1; next } /^## / { inside = 0 }
     inside && /^```/ { block = !block; next }
     inside && block' "$source_dir/README.md" |
  sed -e ':join' -e '/\\$/ { N; s/\\\n//; b join }' -e 's/[[:space:]]*#.*$//' > "$work/commands"
echo "the README's install commands:"; sed 's/^/  /' "$work/commands"

folder=""
run="$work/run.sh"
echo 'set -ex' > "$run"
while IFS= read -r line; do
  case "$line" in
    "cmake -S . -B "*)
      folder=$(echo "$line" | sed 's/.* -B \([^ ]*\).*/\1/')
      [ "$(echo "$line" | grep -o -- '-DCMAKE_BUILD_TYPE=[A-Za-z]*' | wc -l)" -eq 1 ] &&
        ok "the README configures one build type" || bad "the README's configure line: $line"
      echo "$line" | grep -q -- '-DZORVA_TESTS=OFF' && ok "the README builds without the tests" ||
        bad "the README's build has the tests: $line" ;;
    "cmake --build "*) [ "$line" = "cmake --build $folder" ] && ok "the README builds once" ||
                         bad "the README's build line: $line" ;;
    sudo*|*cpack*) ;;
    "") ;;
    *) echo "${line//$folder/$build}" >> "$run" ;;
  esac
done < "$work/commands"
[ -n "$folder" ] || bad "the README configures no build folder"
grep -q -- '--prefix ~/zorva' "$run" && ok "the README installs into a prefix with --prefix" ||
  bad "no --prefix install in the README"

src="$work/src"
mkdir -p "$src/clients" "$work/home"
cp "$here"/readme/draw.c "$here"/readme/draw.cpp "$here"/readme/draw.py "$src"/
# setuptools writes into the folder it builds: a copy of the package.
cp -r "$source_dir/clients/python" "$src/clients/python"
rm -rf "$src/clients/python/tests" "$src/clients/python/build"

if (cd "$src" && HOME="$work/home" bash "$run") > "$work/run.log" 2>&1; then
  ok "the README's install commands ran"
else
  cat "$work/run.log"; bad "the README's install commands failed"
fi
prefix="$work/home/zorva"

# The installed programs find their libraries relative to themselves.
for program in zorvad zorva-render; do
  runpath=$(readelf -d "$prefix/bin/$program" 2> /dev/null | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  case "$runpath" in
    '$ORIGIN/'*) ok "$program's run path is relative: $runpath" ;;
    *) bad "$program's run path: '$runpath'" ;;
  esac
done

# Each program (C, C++, Python, in the README's order) printed the file it
# drew into; its display, started from the prefix, closed at the exit item
# and removed the file.
drawn=$(sed -n 's/^drew //p' "$work/run.log")
[ "$(echo "$drawn" | grep -c .)" -eq 3 ] && ok "the C, C++ and Python programs drew" ||
  bad "not every program drew: $drawn"
for file in $drawn; do
  for _ in $(seq 300); do [ -e "$file" ] || break; sleep 0.1; done
  [ -e "$file" ] && bad "the display on $file did not close" || ok "a display from the prefix drew $file and closed"
done

# find_package(Zorva) with nothing but the CMAKE_PREFIX_PATH the README sets.
if CMAKE_PREFIX_PATH="$prefix" cmake -S "$here/consumer" -B "$work/consumer" > "$work/consumer.log" 2>&1 &&
   cmake --build "$work/consumer" >> "$work/consumer.log" 2>&1; then
  ok "find_package(Zorva) finds the prefix through CMAKE_PREFIX_PATH"
else
  cat "$work/consumer.log"; bad "find_package(Zorva) did not find the prefix"
fi

finish
