#!/usr/bin/env bash
# The performance table: builds the table programs, runs each one, and
# prints one Markdown table (figure, how measured, measured value,
# bare-minimum value, ratio, target, verdict). Its last line is
# "N of M targets met".
#
#   bash benchmarks/run.sh            # the full run (streams of 30 s, 5 min memory run)
#   bash benchmarks/run.sh --quick    # every row in a few minutes (shorter streams)
#
# Every SDK figure is measured beside its bare minimum in the same run: on a
# shared or noisy machine the ratios are stable, the absolute times are not.
# Environment: SX_BUILD_DIR (default build/), SX_BUILD_LOCK (a lock file the
# build step is run under with flock), SX_PERF_LOG (the programs' own output,
# default $SX_BUILD_DIR/perf-run.log).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SX_BUILD_DIR:-$root/build}"
args=()
for a in "$@"; do
  case "$a" in
    --quick|--stream=*|--memory=*) args+=("$a") ;;
    -h|--help) sed -n '2,13p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $a" >&2; exit 2 ;;
  esac
done

# The programs, in the order of the table's rows.
programs=(perf_crc perf_receive perf_serial perf_usb perf_clock)

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
build_cmd=(cmake --build "$build" -j"$(nproc)" --target "${programs[@]}")
if [ -n "${SX_BUILD_LOCK:-}" ]; then
  flock "$SX_BUILD_LOCK" "${build_cmd[@]}" >/dev/null
else
  "${build_cmd[@]}" >/dev/null
fi

log="${SX_PERF_LOG:-$build/perf-run.log}"
: >"$log"
rows="$(mktemp)"
trap 'rm -f "$rows"' EXIT
for p in "${programs[@]}"; do
  echo "== $p ${args[*]:-}" >>"$log"
  if ! "$build/benchmarks/$p" "${args[@]}" 2>>"$log" | tee -a "$log" | grep '^@row' >>"$rows"; then
    printf '@row\t%s\tthe program failed (see %s)\t-\t-\t-\t-\tmissed\n' "$p" "$log" >>"$rows"
  fi
done

echo "| figure | how measured | measured | bare minimum | ratio | target | verdict |"
echo "|---|---|---|---|---|---|---|"
awk -F'\t' '{ printf "| %s | %s | %s | %s | %s | %s | %s |\n", $2, $3, $4, $5, $6, $7, $8 }' "$rows"
met=$(awk -F'\t' '$8 == "met"' "$rows" | wc -l)
total=$(awk -F'\t' '$8 == "met" || $8 == "missed"' "$rows" | wc -l)
echo
echo "$met of $total targets met"
