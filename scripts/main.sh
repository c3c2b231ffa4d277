#!/usr/bin/env bash
# The main job: set up what sxtool needs, build sxtool and the libraries it
# links (nothing else: no tests, benchmarks, Python module or API
# reference), then stream live P&O of the simulated tracker's four sensors
# for a few seconds (a live table on a terminal, rows otherwise).
# Build folder: $SX_MAIN_BUILD_DIR (build-tool/), apart from the test
# command's build/ so that neither changes the other's settings.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh" tool
build="${SX_MAIN_BUILD_DIR:-$root/build-tool}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${SX_BUILD_TYPE:-RelWithDebInfo}" \
  -DSX_BUILD_TESTS=OFF -DSX_BUILD_BENCHMARKS=OFF -DSX_BUILD_PYTHON=OFF -DSX_BUILD_IGTL=OFF \
  ${SX_CMAKE_ARGS:-} >/dev/null
${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$build" -j"$(nproc)" --target sxtool
echo "main.sh: sxtool is $build/tools/sxtool/sxtool (without serve, sxsim and the Python module;" \
  "cmake --preset release builds and installs everything: README, Build and install)" >&2
exec "$build/tools/sxtool/sxtool" stream --sim --sim-sensors 4 --seconds "${SX_MAIN_SECONDS:-5}" --format text "$@"
