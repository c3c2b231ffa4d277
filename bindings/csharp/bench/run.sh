#!/usr/bin/env bash
# The C# binding's figures: 16 sensors at 960 Hz through the managed
# callback and through a C callback, alternated, each against a fresh
# simulated tracker; then one Get through the binding, the bare P/Invoke and
# the C call. Run it on a quiet machine (it holds the build lock when
# SX_BUILD_LOCK names one). Each program prints one line, "@c ..." or "@cs ...".
#   bash bindings/csharp/bench/run.sh [SECONDS] [ROUNDS]    (60 s, 2 rounds)
set -euo pipefail
# The whole run, build included, under the lock at once.
if [ -n "${SX_BUILD_LOCK:-}" ] && [ -z "${SX_BENCH_LOCKED:-}" ]; then
  SX_BENCH_LOCKED=1 exec flock "$SX_BUILD_LOCK" bash "$0" "$@"
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
build="${SX_BUILD_DIR:-$root/build}"
seconds=${1:-60} rounds=${2:-2} gets=2000
bin="$build/bindings/csharp"
cmake --build "$build" --target sxcmdif_net_bench sxsim >/dev/null

# "$@" against a fresh simulated tracker, which is stopped afterwards.
against_sim() {
  local fd path sim rc=0
  exec {fd}< <(exec "$build/simulator/sxsim" --quiet --sensors 16 --rate 960 2>/dev/null)
  sim=$!
  read -r -u "$fd" path
  SXSERIO_PORTS="$path" "$@" 2>/dev/null | grep "^@" || rc=$?
  kill "$sim" 2>/dev/null || true
  exec {fd}<&-
  return $rc
}
# A program that saw a gap in the frame count says so and exits 1; the
# rounds go on.
for ((r = 1; r <= rounds; ++r)); do
  against_sim "$bin/bench/bench_c_callback" "$seconds" "$gets" || echo "(bench_c_callback: exit $?)"
  against_sim mono "$bin/bench/bench_cs.exe" "$seconds" "$gets" || echo "(bench_cs: exit $?)"
done
