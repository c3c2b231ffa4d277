#!/usr/bin/env bash
# stream_pno_cs against stream_pno: each against a fresh static simulator,
# the same lines on standard output to the byte; then the C# example's stop
# on a silent tracker and its refusal of a bad argument, as the C++ one's.
# usage: CompareStreamPno.sh SXSIM STREAM_PNO MONO STREAM_PNO_CS WORK_DIR
set -euo pipefail
sxsim=$1 cpp=$2 mono=$3 cs=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT

# A new simulator with the options given; its line in $path, as port 2 of
# SXSERIO_PORTS (started here, not in a command substitution it would hold open).
new_sim() {
  local fd
  exec {fd}< <(exec "$sxsim" --quiet "$@")
  pids+=($!)
  read -r -u "$fd" path
  export SXSERIO_PORTS="/dev/null:$path"
}

new_sim --static --sensors 4
"$cpp" 2 >"$work/cpp.out" 2>"$work/cpp.err"
new_sim --static --sensors 4
"$mono" "$cs" 2 >"$work/cs.out" 2>"$work/cs.err"
if ! cmp "$work/cpp.out" "$work/cs.out"; then
  diff <(cat -A "$work/cpp.out") <(cat -A "$work/cs.out") | head -10
  exit 1
fi
lines=$(grep -c . "$work/cs.out")
[ "$lines" -eq 400 ] || { echo "expected 400 lines, got $lines"; exit 1; }
grep -q 'CSXserIO::SetTrace : btrace=true' "$work/cs.err" || { echo "no trace lines on standard error"; exit 1; }

# A tracker that falls silent.
new_sim --sensors 1 --rate 30 --quiet-after 1
set +e
err=$("$mono" "$cs" 2 2>&1 >/dev/null)
rc=$?
set -e
if [ "$rc" -ne 1 ] || ! grep -qE '^error: no frame for 2 s after [0-9]+ frames; is the tracker still connected\?$' <<<"$err"; then
  echo "a stalled stream: exit $rc, $err"
  exit 1
fi
# A word that is no port.
set +e
"$mono" "$cs" --serial 2>"$work/usage.err"
rc=$?
set -e
[ "$rc" -eq 2 ] || { echo "a bad argument: exit $rc"; exit 1; }
grep -qx 'usage: stream_pno_cs \[PORT | --usb\]   (PORT: a serial port from 1)' "$work/usage.err" ||
  { echo "usage line: $(cat "$work/usage.err")"; exit 1; }
echo "ok: $lines identical lines"
