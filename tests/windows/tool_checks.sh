#!/usr/bin/env bash
# sxtool.exe under Wine against the simulated tracker on COM$SXWIN_COM:
#   tool_checks.sh SXTOOL info|stream
set -u
tool=$1
what=$2
wine=/usr/lib/wine/wine64
fail() {
  echo "FAILED: $*"
  exit 1
}
case "$what" in
info)
  out=$("$wine" "$tool" info --serial "$SXWIN_COM" 2>/dev/null) || fail "sxtool info exited $?"
  echo "$out"
  grep -q "device_name: SXSIM Tracker SEU" <<<"$out" || fail "no identity"
  grep -q "sensor_map: 0x0f" <<<"$out" || fail "no station map"
  ;;
stream)
  out=$("$wine" "$tool" stream --serial "$SXWIN_COM" --frames 100 --format csv 2>/dev/null) ||
    fail "sxtool stream exited $?"
  rows=$(grep -c . <<<"$out")
  [ "$rows" -eq 101 ] || fail "$rows lines, not a header and 100 rows"
  # Every row has the header's number of fields.
  fields=$(head -n 1 <<<"$out" | tr -d '\r' | awk -F, '{print NF}')
  bad=$(tr -d '\r' <<<"$out" | awk -F, -v n="$fields" 'NF != n' | wc -l)
  [ "$bad" -eq 0 ] || fail "$bad rows without $fields fields"
  ;;
*)
  fail "unknown check $what"
  ;;
esac
echo "sxtool $what: passed"
