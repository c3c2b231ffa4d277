#!/usr/bin/env bash
# sxtool.exe under Wine against the simulated tracker on COM$SXWIN_COM:
#   tool_checks.sh SXTOOL info|stream|texts|record
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
texts)
  # Commands the Windows build leaves out are listed, and say so.
  out=$("$wine" "$tool" --help 2>/dev/null | tr -d '\r')
  grep -q "^  serve .*(not in this build)$" <<<"$out" || fail "serve is not listed: $out"
  out=$("$wine" "$tool" serve --port 1 --sim 2>&1)
  code=$?
  out=$(tr -d '\r' <<<"$out")
  [ "$code" -eq 2 ] && [ "$out" = "sxtool: serve is not in this build of sxtool: OpenIGTLink streaming is part of the Linux build only" ] ||
    fail "serve exits $code saying '$out'"
  out=$("$wine" "$tool" view --help 2>/dev/null | tr -d '\r')
  grep -q "^Not in this build: the browser viewer is part of the Linux build only.$" <<<"$out" ||
    fail "view --help says '$out'"
  # Advice for Windows: a COM port that cannot be opened is no matter of the dialout group.
  out=$(SXSERIO_PORTS=COM199 "$wine" "$tool" info --serial 199 2>&1 | tr -d '\r')
  grep -q "check the COM port number (sxtool list) and that no other program holds it$" <<<"$out" ||
    fail "info on a missing COM port says '$out'"
  ;;
record)
  # A recording appears whole under its name, is never overwritten unasked
  # and never converted into itself. Names relative to the folder: the tool
  # takes "/tmp/..." for a Windows-style option.
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' EXIT
  cd "$dir" || fail "no folder"
  "$wine" "$tool" record w.sxr --serial "$SXWIN_COM" --frames 20 2>/dev/null || fail "sxtool record exited $?"
  [ -f w.sxr ] && [ ! -e w.sxr.part ] || fail "no whole recording: $(ls -A)"
  err=$("$wine" "$tool" record w.sxr --serial "$SXWIN_COM" --frames 5 2>&1)
  [ $? -eq 4 ] || fail "an existing recording was not refused: $err"
  [ "$(tr -d '\r' <<<"$err")" = "sxtool: w.sxr exists: --force replaces it" ] || fail "said: $err"
  "$wine" "$tool" convert w.sxr --out w.sxr --force 2>/dev/null
  [ $? -eq 4 ] || fail "a recording converted into itself was not refused"
  "$wine" "$tool" convert w.sxr --format csv --out w.csv 2>/dev/null || fail "sxtool convert exited $?"
  rows=$(grep -c . w.csv)
  [ "$rows" -eq 21 ] || fail "$rows lines, not a header and 20 rows"
  [ "$(ls -A | wc -l)" -eq 2 ] || fail "files left beside: $(ls -A)"
  ;;
*)
  fail "unknown check $what"
  ;;
esac
echo "sxtool $what: passed"
