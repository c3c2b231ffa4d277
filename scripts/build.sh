#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/ (or
# $SX_BUILD_DIR) with the dev preset of CMakePresets.json (or $SX_PRESET):
# what the test command builds, warnings as errors. $SX_BUILD_TYPE, when
# set, replaces the preset's build type.
# A new build folder uses Ninja, which starts compiling a target's sources
# before the libraries it links are done; an existing one keeps its generator.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
. "$root/scripts/cache.sh"
build="${SX_BUILD_DIR:-$root/build}"
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake --preset "${SX_PRESET:-dev}" -S "$root" -B "$build" "${generator[@]}" \
  ${SX_BUILD_TYPE:+-DCMAKE_BUILD_TYPE="$SX_BUILD_TYPE"} ${SX_CMAKE_ARGS:-} >/dev/null
${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$build" -j"$(nproc)"
