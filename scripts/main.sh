#!/usr/bin/env bash
# The main job: set up, build, and run the SDK's program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh"
build="${SX_BUILD_DIR:-$root/build}"
exec "$build/tools/sxinfo" "$@"
