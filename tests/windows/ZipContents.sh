#!/usr/bin/env bash
# Makes the Windows SDK zip with CPack and checks what it carries.
# usage: ZipContents.sh CPACK BUILD_DIR WORK_DIR
set -euo pipefail
cpack_cmd=$1 build=$2 work=$3
rm -rf "$work"
(cd "$build" && "$cpack_cmd" -G ZIP -B "$work" >/dev/null)
zip=$(ls "$work"/sxcmdif-*-win64.zip)
listing=$(unzip -Z1 "$zip")
for f in README.txt bin/SXCmdIF.dll bin/SXserIO.dll bin/sxtool.exe bin/stream_pno.exe include/SXCmdIF/SXCmdIF.h \
  lib/SXCmdIF.def lib/cmake/SXCmdIF/SXCmdIFConfig.cmake examples/stream_pno.cpp examples/CMakeLists.txt; do
  grep -Eq "^[^/]+/$f$" <<<"$listing" || { echo "the zip lacks $f"; exit 1; }
done
readme=$(unzip -p "$zip" '*/README.txt' | tr -d '\r')
for words in "bin\\\\sxtool.exe" "open COM3" "64-bit libusb-1.0.dll" "bind the tracker to the WinUSB driver"; do
  grep -q "$words" <<<"$readme" || { echo "the README does not say '$words'"; exit 1; }
done
echo "ok zip"
