#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ in the AddressSanitizer build
# (build-asan/, clang-14, see scripts/sanbuild.sh) and runs each for a short
# smoke time as a ctest ($SX_FUZZ_SECONDS seconds each, 25 by default), two
# at a time: each fuzzer uses a whole core. Extra arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
targets=($(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//'))
build="$(bash "$root/scripts/sanbuild.sh" asan --target "${targets[@]}" | tail -n 1)"
echo "== fuzz runs: $SECONDS s after the fuzz build began"
cd "$build"
ctest --output-on-failure -j"$(nproc)" -L fuzz "$@"
