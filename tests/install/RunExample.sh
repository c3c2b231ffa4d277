#!/usr/bin/env bash
# Installs the build into a scratch prefix, builds the example application of
# examples/ against the installed CMake package, and runs it against a
# simulated tracker (sxsim) that SXSERIO_PORTS names as serial port 1.
# usage: RunExample.sh CMAKE BUILD_DIR EXAMPLE_DIR WORK_DIR SXSIM [APP_FLAGS]
set -euo pipefail
cmake_cmd=$1 build=$2 example=$3 work=$4 sxsim=$5 flags=${6:-}
rm -rf "$work"
prefix="$work/prefix"
"$cmake_cmd" --install "$build" --prefix "$prefix" >/dev/null
for f in lib/udev/rules.d/70-sxtracker.rules bin/sxtool; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
"$cmake_cmd" -S "$example" -B "$work/app" -DCMAKE_PREFIX_PATH="$prefix" \
  "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags" >/dev/null
"$cmake_cmd" --build "$work/app" >/dev/null

exec {sim_out}< <(exec "$sxsim" --sensors 4)
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
read -r -u "$sim_out" path
out=$(SXSERIO_PORTS="$path" "$work/app/stream_pno")
# Rows of P&O; the library's own trace lines ("[thread id] : ...") aside.
lines=$(printf '%s\n' "$out" | grep -v '^\[' | grep -c .)
if [ "$lines" -ne 400 ]; then
  echo "expected 100 frames of 4 sensors (400 lines), got $lines"
  printf '%s\n' "$out" | head -5
  exit 1
fi
# The installed sxtool finds the installed libraries on its own.
"$prefix/bin/sxtool" --help >/dev/null
echo "ok example: $lines lines"
