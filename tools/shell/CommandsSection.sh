#!/bin/sh
# Writes a help2man include file with a COMMANDS section: every command of
# the program (read from its --help) with its own --help, verbatim.
# usage: CommandsSection.sh PROGRAM OUT
set -eu
prog=$1 out=$2
{
  echo "[COMMANDS]"
  "$prog" --help | awk '/^Subcommands:/{on=1; next} on && /^$/{exit} on && /^  [a-z]/{print $1}' |
    while read -r cmd; do
      [ "$cmd" = help ] && continue
      echo ".SS $cmd"
      echo ".nf"
      "$prog" "$cmd" --help | sed -e 's/\\/\\e/g' -e 's/^\./\\\&./'
      echo ".fi"
    done
} >"$out"
