#!/usr/bin/env bash
# Configures and builds one of the two sanitizer builds; the folder's name
# goes to standard output's last line. Arguments after the kind go to
# `cmake --build` (--target ... builds part of it).
#   asan  build-asan/: clang-14, AddressSanitizer with UndefinedBehaviorSanitizer
#         and libFuzzer's coverage, so that the one build serves the sanitizer
#         suite (scripts/test.sh) and the fuzz targets (scripts/fuzz.sh)
#   tsan  build-tsan/: GCC, ThreadSanitizer, the threaded test areas only
# Both leave out what only the plain build needs (tools, benchmarks, the
# language bindings, OpenIGTLink) and build at -O1 with line tables only:
# what the sanitizers' reports need, in a third of the time of -O2 -g.
# SX_BUILD_LOCK names a lock file the build step takes; SX_CMAKE_ARGS adds
# configuration arguments.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kind=${1:?usage: sanbuild.sh asan|tsan [cmake --build arguments]}
shift
bash "$root/scripts/setup.sh"
. "$root/scripts/cache.sh"

# The folders of the threaded tests (engine, transports, stress, faults, the
# stream guard, the ROS 2 publisher).
tsan_areas="context;device;devio;usb;serial;stress;faults;frames;ros2"
common=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1"
        -DSX_BUILD_TOOLS=OFF -DSX_BUILD_BENCHMARKS=OFF -DSX_BUILD_PYTHON=OFF -DSX_BUILD_IGTL=OFF
        --no-warn-unused-cli)
case "$kind" in
asan)
  dir="$root/build-asan"
  compilers=(CC=clang-14 CXX=clang++-14)
  args=(-DSX_SANITIZE=address -DSX_FUZZ=ON -DSX_FUZZ_SECONDS="${SX_FUZZ_SECONDS:-25}")
  ;;
tsan)
  dir="$root/build-tsan"
  compilers=()
  args=(-DSX_SANITIZE=thread "-DSX_TEST_AREAS=$tsan_areas")
  ;;
*)
  echo "sanbuild.sh: unknown kind $kind (asan or tsan)" >&2
  exit 2
  ;;
esac

# A folder configured with another compiler (build-asan/ was GCC's before it
# was clang's) cannot be reconfigured: CMake keeps a folder's compiler.
if [ ${#compilers[@]} -gt 0 ] && [ -f "$dir/CMakeCache.txt" ] &&
   ! grep -q "^CMAKE_CXX_COMPILER:[A-Z]*=.*/${compilers[1]#CXX=}\$" "$dir/CMakeCache.txt"; then
  echo "sanbuild.sh: $dir was configured with another compiler; building it afresh" >&2
  rm -rf "$dir"
fi

generator=()
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
env "${compilers[@]}" cmake -S "$root" -B "$dir" "${generator[@]}" "${common[@]}" "${args[@]}" ${SX_CMAKE_ARGS:-} >/dev/null
${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$dir" -j"$(nproc)" "$@" >&2
echo "$dir"
