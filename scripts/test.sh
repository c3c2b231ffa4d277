#!/usr/bin/env bash
# The whole test suite: set up, build, and run every test with ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh"
build="${SX_BUILD_DIR:-$root/build}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 300 "$@"
