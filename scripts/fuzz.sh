#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang-14 into build-fuzz/ (or
# $SX_FUZZ_BUILD_DIR) and runs each for a short smoke time as a ctest
# ($SX_FUZZ_SECONDS seconds each, 25 by default). Extra arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
build="${SX_FUZZ_BUILD_DIR:-$root/build-fuzz}"
# -O1 with line tables only: enough for the reports, quick to build.
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
  -DSX_FUZZ=ON -DSX_FUZZ_SECONDS="${SX_FUZZ_SECONDS:-25}" \
  -DSX_BUILD_TESTS=OFF -DSX_BUILD_TOOLS=OFF -DSX_BUILD_BENCHMARKS=OFF ${SX_CMAKE_ARGS:-} >/dev/null
${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$build" -j"$(nproc)" --target $(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
cd "$build"
# One target at a time: each fuzzer uses a whole core.
ctest --output-on-failure -j1 -L fuzz "$@"
