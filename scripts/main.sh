#!/usr/bin/env bash
# The main job: set up, build, then stream live P&O of the simulated
# tracker's four sensors for a few seconds (a live table on a terminal,
# rows otherwise).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh"
build="${SX_BUILD_DIR:-$root/build}"
exec "$build/tools/sxtool/sxtool" stream --sim --sensors 4 --seconds "${SX_MAIN_SECONDS:-5}" --format text "$@"
