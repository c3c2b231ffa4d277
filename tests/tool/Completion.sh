#!/usr/bin/env bash
# The bash completion of sxtool and sxsim, as bash runs it for a user.
# usage: Completion.sh COMPLETION_SCRIPT SXTOOL_DIR SXSIM_DIR
set -uo pipefail
lib=/usr/share/bash-completion/bash_completion
if [ ! -r "$lib" ]; then
  echo "bash-completion is not installed"
  exit 77
fi
export PATH="$2:$3:$PATH"
source "$lib"
source "$1"
fails=0
expect() { # function, wanted, words...
  local fn=$1 want=$2
  shift 2
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$fn"
  if [ "${COMPREPLY[*]}" != "$want" ]; then
    echo "'$*' completes to '${COMPREPLY[*]}', not '$want'"
    fails=1
  fi
}
expect _sxtool "stream" sxtool st
expect _sxtool "reset record" sxtool --trace 3 re
expect _sxtool "tipoffset" sxtool get ti
expect _sxtool "--format" sxtool stream --form
expect _sxtool "jsonl" sxtool stream --format j
expect _sxtool "--sim-jitter-ms --sim-rate --sim-sensors --sim-static" sxtool info --sim-
expect _sxtool "--read-only --reconnect --record-dir" sxtool view --re
expect _sxsim "--quiet --quiet-after" sxsim --qu
# The words of set, place by place (options and their values do not count),
# and the topics of help.
expect _sxtool "pos_x pos_y pos_z" sxtool set hemisphere pos_
expect _sxtool "auto" sxtool set hemisphere pos_z --sensor 2 a
expect _sxtool "euler_degree euler_radian" sxtool --trace 3 set units cm eu
expect _sxtool "none odd even" sxtool set serial 115200 --serial 1 ""
expect _sxtool "" sxtool set tipoffset ""
expect _sxtool "stream" sxtool help str
exit $fails
