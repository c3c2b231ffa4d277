#!/usr/bin/env bash
# The whole test suite: set up, build, and run every test with ctest; then
# the same suite under AddressSanitizer with UndefinedBehaviorSanitizer, the
# threaded areas under ThreadSanitizer, and a short run of every fuzz target.
#
# The plain stage also builds the API reference (target docs), failing on
# any doxygen warning. Arguments go to the plain ctest run, and when there
# are any only that run is made (bash scripts/test.sh -R usb).
# The windows stage cross-builds for Windows and runs the Windows tests
# under Wine (it needs the plain build's simulator).
# SX_TEST_STAGES chooses the stages (default "plain windows asan tsan fuzz"). Each
# stage runs even when an earlier one failed; the script fails when any did.
# SX_BUILD_LOCK names a lock file that every sanitizer build takes (a
# machine shared by several builds).
# Build folders: $SX_BUILD_DIR
# (build/), build-windows/, build-asan/, build-tsan/, build-fuzz/.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
stages="${SX_TEST_STAGES:-plain windows asan tsan fuzz}"
if [ $# -gt 0 ]; then stages="plain"; fi

# The folders of the threaded tests (engine, transports, stress, faults).
tsan_areas="context;device;devio;usb;serial;stress;faults"
# What only the plain build needs: tools, benchmarks, the language bindings.
lean=(-DSX_BUILD_TOOLS=OFF -DSX_BUILD_BENCHMARKS=OFF -DSX_BUILD_PYTHON=OFF -DSX_BUILD_IGTL=OFF
      --no-warn-unused-cli)

# The long runs (stress, nothing-lost) are shortened under the sanitizers.
export SX_STRESS_SECONDS SX_NOTHING_LOST_SECONDS

failed=()
t0=$SECONDS
stamp() { echo "== $1: $(( SECONDS - t0 )) s since the start"; }

sanitized() { # name dir sanitizer cmake-args... -- ctest-args...
  local name=$1 dir=$2 san=$3; shift 3
  local cargs=() targs=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cargs+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targs=("$@")
  stamp "$name build"
  # -O1 with line tables only: what the sanitizers' reports need, built in
  # a third of the time of -O2 -g.
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSX_SANITIZE="$san" "${lean[@]}" \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    "${cargs[@]}" ${SX_CMAKE_ARGS:-} >/dev/null &&
    ${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$dir" -j"$jobs" || { failed+=("$name build"); return; }
  stamp "$name tests"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 600 "${targs[@]}") || failed+=("$name")
}

for stage in $stages; do
  case "$stage" in
  plain)
    SX_STRESS_SECONDS="${SX_STRESS_SECONDS_PLAIN:-60}" SX_NOTHING_LOST_SECONDS="${SX_STRESS_SECONDS_PLAIN:-60}"
    stamp "plain build"
    if bash "$root/scripts/build.sh"; then
      # The API reference (doxygen over the public headers, under a second):
      # any warning, an undocumented export among them, fails the stage.
      stamp "plain docs"
      cmake --build "${SX_BUILD_DIR:-$root/build}" --target docs || failed+=("plain docs")
      stamp "plain tests"
      (cd "${SX_BUILD_DIR:-$root/build}" && ctest --output-on-failure -j"$jobs" --timeout 300 "$@") ||
        failed+=(plain)
    else
      failed+=("plain build")
    fi
    ;;
  windows)
    # The Windows build (MinGW-w64) in build-windows/, its tests under Wine
    # in a prefix of that folder, against the plain build's simulator.
    stamp "windows build"
    win="$root/build-windows"
    if cmake -S "$root" -B "$win" --toolchain "$root/cmake/toolchains/mingw-w64.cmake" \
         -DSX_LINUX_BUILD="${SX_BUILD_DIR:-$root/build}" ${SX_CMAKE_ARGS:-} >/dev/null &&
       ${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$win" -j"$jobs"; then
      stamp "windows tests"
      (cd "$win" && ctest --output-on-failure -j"$jobs" --timeout 300) || failed+=(windows)
    else
      failed+=("windows build")
    fi
    ;;
  asan)
    SX_STRESS_SECONDS="${SX_SAN_STRESS_SECONDS:-10}" SX_NOTHING_LOST_SECONDS="${SX_SAN_STRESS_SECONDS:-10}"
    # halt_on_error stays on: every report fails its test. The standalone
    # header check compiles headers only and is left to the plain run.
    export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    sanitized asan "$root/build-asan" address -- -E 'interface_headers_standalone'
    ;;
  tsan)
    SX_STRESS_SECONDS="${SX_SAN_STRESS_SECONDS:-10}" SX_NOTHING_LOST_SECONDS="${SX_SAN_STRESS_SECONDS:-10}"
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
    sanitized tsan "$root/build-tsan" thread "-DSX_TEST_AREAS=$tsan_areas" --
    ;;
  fuzz)
    stamp "fuzz build and runs"
    bash "$root/scripts/fuzz.sh" || failed+=(fuzz)
    ;;
  *)
    echo "unknown stage $stage" >&2
    failed+=("$stage")
    ;;
  esac
done

stamp "done"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED stages: ${failed[*]}"
  exit 1
fi
