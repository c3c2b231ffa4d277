#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/ (or $SX_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
build="${SX_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${SX_BUILD_TYPE:-RelWithDebInfo}" ${SX_CMAKE_ARGS:-} >/dev/null
${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$build" -j"$(nproc)"
