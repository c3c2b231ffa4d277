#!/usr/bin/env bash
# Makes the Wine prefix of the Windows tests ($WINEPREFIX) once; later runs
# only start its server. No installer dialog waits: Mono and Gecko are off.
set -eu
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -u
  /usr/lib/wine/wineserver -w
fi
/usr/lib/wine/wine64 cmd /c exit 0
