#!/usr/bin/env bash
# The whole test suite: set up, build, and run every test with ctest; then
# the same suite under AddressSanitizer with UndefinedBehaviorSanitizer, the
# threaded areas under ThreadSanitizer, and a short run of every fuzz target.
#
# The plain stage also builds the API reference (target docs), failing on
# any doxygen warning, runs clang-tidy over the libraries (scripts/tidy.sh,
# failing on any finding), and a Debug build of the libraries (the debug-libs
# preset, build-debug/): that build type compiles warning-free too.
# Arguments go to the plain ctest run, and when there are any only that run
# is made (bash scripts/test.sh -R usb).
# The windows stage cross-builds for Windows and runs the Windows tests
# under Wine (it needs the plain build's simulator).
# SX_TEST_STAGES chooses the stages (default "plain windows asan tsan fuzz"). Each
# stage runs even when an earlier one failed; the script fails when any did.
# SX_BUILD_LOCK names a lock file that every build step takes (a machine
# shared by several builds).
# Build folders: $SX_BUILD_DIR (build/), build-debug/, build-windows/,
# build-asan/ (clang: the sanitizer suite and the fuzz targets,
# scripts/sanbuild.sh), build-tsan/.
#
# The ROS 2 tests across machines (tests/ros2) make network namespaces: the
# plain stage runs as root; elsewhere they skip, and the stage fails. Their
# minute at the full rate (SX_ROS2_SECONDS) starts first, beside the rest.
#
# The tests mostly wait, so ctest runs one more at a time than there are
# cores, the longest first (their COST).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
test_jobs=$(( jobs + 1 ))
stages="${SX_TEST_STAGES:-plain windows asan tsan fuzz}"
if [ $# -gt 0 ]; then stages="plain"; fi

# The long runs (stress, nothing-lost) are shortened under the sanitizers.
export SX_STRESS_SECONDS SX_NOTHING_LOST_SECONDS

# The sanitizers' settings of the asan stage and of the fuzz runs, which
# share its build. halt_on_error stays on: every report fails its test.
asan_env=(ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
          UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1")

# Every build folder, the Windows one included, goes through the compiler
# cache when ccache is there (scripts/cache.sh).
bash "$root/scripts/setup.sh"
. "$root/scripts/cache.sh"

failed=()
t0=$SECONDS
stamp() { echo "== $1: $(( SECONDS - t0 )) s since the start"; }

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
      # The style of .clang-format (under 2 s); SX_TEST_FORMAT=0 leaves it
      # out.
      if [ "${SX_TEST_FORMAT:-1}" = 1 ]; then
        stamp "plain format"
        bash "$root/scripts/format.sh" --check || failed+=("plain format")
      fi
      # clang-tidy over the libraries; files unchanged since their last clean
      # check come from its cache.
      stamp "plain tidy"
      bash "$root/scripts/tidy.sh" || failed+=("plain tidy")
      stamp "plain tests"
      (cd "${SX_BUILD_DIR:-$root/build}" && ctest --output-on-failure -j"$test_jobs" --timeout 300 "$@") ||
        failed+=(plain)
      if [ $# -eq 0 ]; then
        stamp "plain debug"
        (unset SX_BUILD_TYPE; SX_PRESET=debug-libs SX_BUILD_DIR="$root/build-debug" bash "$root/scripts/build.sh") ||
          failed+=("plain debug")
      fi
    else
      failed+=("plain build")
    fi
    ;;
  windows)
    # The Windows build (MinGW-w64) in build-windows/, its tests under Wine
    # in a prefix of that folder, against the plain build's simulator.
    stamp "windows build"
    win="$root/build-windows"
    generator=()
    if [ ! -f "$win/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
    if cmake -S "$root" -B "$win" "${generator[@]}" --toolchain "$root/cmake/toolchains/mingw-w64.cmake" \
         -DSX_LINUX_BUILD="${SX_BUILD_DIR:-$root/build}" -DSX_WERROR=ON ${SX_CMAKE_ARGS:-} >/dev/null &&
       ${SX_BUILD_LOCK:+flock "$SX_BUILD_LOCK"} cmake --build "$win" -j"$jobs"; then
      stamp "windows tests"
      (cd "$win" && ctest --output-on-failure -j"$jobs" --timeout 300) || failed+=(windows)
    else
      failed+=("windows build")
    fi
    ;;
  asan)
    SX_STRESS_SECONDS="${SX_SAN_STRESS_SECONDS:-10}" SX_NOTHING_LOST_SECONDS="${SX_SAN_STRESS_SECONDS:-10}"
    # The standalone header check compiles headers only and is left to the
    # plain run; the fuzz targets are the fuzz stage's.
    export "${asan_env[@]}"
    stamp "asan build"
    if bash "$root/scripts/sanbuild.sh" asan >/dev/null; then
      stamp "asan tests"
      (cd "$root/build-asan" && ctest --output-on-failure -j"$test_jobs" --timeout 600 -LE fuzz \
        -E 'interface_headers_standalone') || failed+=(asan)
    else
      failed+=("asan build")
    fi
    ;;
  tsan)
    SX_STRESS_SECONDS="${SX_SAN_STRESS_SECONDS:-10}" SX_NOTHING_LOST_SECONDS="${SX_SAN_STRESS_SECONDS:-10}"
    # At exit ThreadSanitizer waits atexit_sleep_ms (1 s by default) for any
    # thread still alive to race with the exit: the emulated USB device's and
    # GLib's threads always are, so each of the 228 test processes would wait
    # a whole second. 50 ms still gives a late thread its chance.
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:atexit_sleep_ms=50"
    stamp "tsan build"
    if bash "$root/scripts/sanbuild.sh" tsan >/dev/null; then
      stamp "tsan tests"
      (cd "$root/build-tsan" && ctest --output-on-failure -j"$test_jobs" --timeout 600) || failed+=(tsan)
    else
      failed+=("tsan build")
    fi
    ;;
  fuzz)
    # The fuzz targets join the asan stage's build: only they are compiled
    # when it ran before.
    export "${asan_env[@]}"
    stamp "fuzz build"
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
