#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what the C# binding
# puts there: the assembly with Mono's map to the installed library, the
# example (run against a simulated tracker from the prefix), and the Unity
# package with a .meta for every file and folder.
# usage: InstallCheck.sh CMAKE BUILD_DIR SXSIM MONO VERSION WORK_DIR
set -euo pipefail
cmake_cmd=$1 build=$2 sxsim=$3 mono=$4 version=$5 work=$6
rm -rf "$work"
prefix="$work/prefix"
"$cmake_cmd" --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "$*"; exit 1; }

grep -qF "target=\"$prefix/lib/libSXCmdIF.so.0\"" "$prefix/bin/SXCmdIF.Net.dll.config" ||
  fail "the installed map does not name the installed library: $(cat "$prefix/bin/SXCmdIF.Net.dll.config")"
exec {sim_out}< <(exec "$sxsim" --quiet --static --sensors 2)
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
read -r -u "$sim_out" path
lines=$(SXSERIO_PORTS="$path" LD_LIBRARY_PATH= "$mono" "$prefix/bin/stream_pno_cs.exe" 2>/dev/null | grep -c .)
[ "$lines" -eq 200 ] || fail "the installed stream_pno_cs printed $lines lines, not 200"

pkg="$prefix/share/unity/com.sxtracker.sdk"
grep -q "\"version\": \"$version\"" "$pkg/package.json" || fail "package.json lacks the version $version"
for f in package.json Runtime/SXCmdIF.Net.asmdef Runtime/Tracker.cs Runtime/Native.g.cs Runtime/Tables.g.cs \
         Plugins/x86_64/libSXCmdIF.so "Samples~/TrackedSensor/TrackedSensor.cs" "Samples~/PrintPoses/PrintPoses.cs"; do
  [ -f "$pkg/$f" ] || fail "the Unity package lacks $f"
done
cmp -s "$pkg/Plugins/x86_64/libSXCmdIF.so" "$prefix/lib/libSXCmdIF.so.0" || fail "the plugin is not the installed library"
grep -q "OS: Linux" "$pkg/Plugins/x86_64/libSXCmdIF.so.meta" || fail "the Linux plugin's .meta is not for Linux"
# The Windows plugin is there when the MinGW build was made before.
if [ -f "$pkg/Plugins/x86_64/SXCmdIF.dll" ]; then
  grep -q "OS: Windows" "$pkg/Plugins/x86_64/SXCmdIF.dll.meta" || fail "the Windows plugin's .meta is not for Windows"
fi
missing=$(cd "$pkg" && find . -mindepth 1 ! -name '*.meta' ! -path './Samples~' | while read -r e; do
  [ -f "$e.meta" ] || echo "$e"; done)
[ -z "$missing" ] || fail "without a .meta: $missing"
guids=$(cat "$pkg"/*.meta "$pkg"/*/*.meta | grep -c '^guid:')
unique=$(cat "$pkg"/*.meta "$pkg"/*/*.meta | grep '^guid:' | sort -u | wc -l)
[ "$guids" -eq "$unique" ] || fail "two .meta files share a GUID"
echo "ok: the assembly, the example and the Unity package"
