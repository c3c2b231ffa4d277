#!/bin/sh
# Writes a help2man include file: for sxtool a COMMANDS section (every
# command of the program, read from its --help, with its own --help
# verbatim) and an EXIT STATUS section (from the exit codes its help lists);
# then the sections written by hand in STATIC (ENVIRONMENT, EXAMPLES, ...).
# usage: ManInclude.sh PROGRAM STATIC OUT
set -eu
prog=$1 static=$2 out=$3
{
  if [ "$(basename "$prog")" = sxtool ]; then
    echo "[COMMANDS]"
    "$prog" --help | awk '/^Subcommands:/{on=1; next} on && /^$/{exit} on && /^  [a-z]/{print $1}' |
      while read -r cmd; do
        [ "$cmd" = help ] && continue
        echo ".SS $cmd"
        echo ".nf"
        "$prog" "$cmd" --help | sed -e 's/\\/\\e/g' -e 's/^\./\\\&./'
        echo ".fi"
      done
    # "Exit codes: 0 done, 1 the library ..., 6 simulator could not start."
    # becomes one tagged paragraph a code.
    echo "[EXIT STATUS]"
    "$prog" --help | awk '/^Exit codes:/{on=1} on' | tr '\n' ' ' |
      sed -E -e 's/^Exit codes: *//' -e 's/\. *$//' -e 's/, ([0-9]+) /\n\1 /g' |
      sed -E -e 's/\\/\\e/g' -e 's/^([0-9]+) (.*)$/.TP\n.B \1\n\2/'
    echo
  fi
  cat "$static"
} >"$out"
