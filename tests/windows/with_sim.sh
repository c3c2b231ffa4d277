#!/usr/bin/env bash
# Runs a command with the simulated tracker on a pseudo-terminal mapped into
# the Wine prefix as a COM port:
#   with_sim.sh N [sxsim options...] -- COMMAND...
# The Linux sxsim ($SX_SIM) serves a new pseudo-terminal; $WINEPREFIX's
# dosdevices/comN points at it while COMMAND runs, with SXWIN_COM=N in its
# environment. The simulator is stopped and the mapping removed afterwards;
# the result is COMMAND's.
set -u
com=$1
shift
sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  sim_args+=("$1")
  shift
done
shift
if [ ! -x "${SX_SIM:-}" ]; then
  echo "with_sim.sh: no simulator at '${SX_SIM:-}' (the plain Linux build makes it)" >&2
  exit 1
fi
link="$WINEPREFIX/dosdevices/com$com"
lines=$(mktemp)
"$SX_SIM" "${sim_args[@]}" >"$lines" 2>/dev/null &
sim=$!
stop() {
  kill "$sim" 2>/dev/null
  wait "$sim" 2>/dev/null
  rm -f "$link" "$lines"
}
trap stop EXIT
# The simulator's first line is its pseudo-terminal.
pts=""
for _ in $(seq 100); do
  pts=$(head -n 1 "$lines")
  [ -n "$pts" ] && break
  sleep 0.05
done
if [ -z "$pts" ]; then
  echo "with_sim.sh: the simulator did not start" >&2
  exit 1
fi
ln -sfn "$pts" "$link"
SXWIN_COM=$com "$@"
