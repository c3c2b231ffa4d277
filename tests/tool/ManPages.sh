#!/usr/bin/env bash
# The man pages of sxtool and sxsim hold the sections a user looks for.
# usage: ManPages.sh FOLDER_OF_THE_PAGES
set -uo pipefail
fails=0
has() { # page, fixed line wanted in its roff text
  if ! grep -Fxq -- "$2" <<<"$(zcat "$1/$3.1.gz")"; then
    echo "$3.1 lacks the line '$2'"
    fails=1
  fi
}
for page in sxtool sxsim; do
  has "$1" '.SH ENVIRONMENT' "$page"
  has "$1" '.SH "EXIT STATUS"' "$page"
  has "$1" '.SH EXAMPLES' "$page"
  has "$1" '.B SXSERIO_PORTS' "$page"
done
# sxtool's exit codes come from its help, one tagged paragraph a code.
has "$1" 'file error' sxtool
has "$1" '.B 6' sxtool
has "$1" '.B sxtool list' sxtool
exit $fails
