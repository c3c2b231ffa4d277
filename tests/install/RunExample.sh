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
# Serial port 1 named on the command line; only P&O rows on standard output
# (the library's trace lines go to standard error).
out=$(SXSERIO_PORTS="/dev/null:$path" "$work/app/stream_pno" 2)
lines=$(printf '%s\n' "$out" | grep -c .)
rows=$(printf '%s\n' "$out" | grep -cE '^ *[0-9]+ +[0-9]+ ')
if [ "$lines" -ne 400 ] || [ "$rows" -ne 400 ]; then
  echo "expected 100 frames of 4 sensors (400 rows and nothing else), got $lines lines, $rows rows"
  printf '%s\n' "$out" | head -5
  exit 1
fi
# A tracker that stops sending: the example says so and ends.
exec {quiet_out}< <(exec "$sxsim" --sensors 1 --rate 30 --quiet-after 1)
quiet_pid=$!
trap 'kill "$sim_pid" "$quiet_pid" 2>/dev/null || true' EXIT
read -r -u "$quiet_out" quiet_path
set +e
err=$(SXSERIO_PORTS="$quiet_path" "$work/app/stream_pno" 2>&1 >/dev/null)
rc=$?
set -e
if [ "$rc" -ne 1 ] || ! grep -qE '^error: no frame for 2 s after [0-9]+ frames; is the tracker still connected\?$' <<<"$err"; then
  echo "a stalled stream: exit $rc, $err"
  exit 1
fi
# A word that is no port.
set +e
"$work/app/stream_pno" --serial 2>/dev/null
rc=$?
set -e
[ "$rc" -eq 2 ] || { echo "a bad argument: exit $rc"; exit 1; }
# The installed sxtool finds the installed libraries on its own.
"$prefix/bin/sxtool" --help >/dev/null
echo "ok example: $lines lines"
