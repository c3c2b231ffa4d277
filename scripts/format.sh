#!/usr/bin/env bash
# clang-format (the style of .clang-format) over every tracked C and C++
# file: bash scripts/format.sh formats them in place; with --check it only
# lists the files that are not formatted, and fails when there is any.
# A folder whose .clang-format says DisableFormat keeps its files as they are.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
format="${SX_CLANG_FORMAT:-clang-format-14}"
check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *) echo "usage: bash scripts/format.sh [--check]" >&2; exit 2 ;;
esac

cd "$root"
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' '*.cc' '*.c' '*.hpp')
if [ ${#files[@]} -eq 0 ]; then exit 0; fi

if [ "$check" -eq 0 ]; then
  printf '%s\0' "${files[@]}" | xargs -0 -n 32 -P 2 "$format" -i --style=file
  exit 0
fi

# clang-format names every file it would change (--dry-run, one message per
# file); a file it cannot format (a broken .clang-format) is listed too.
# grep passes whole lines, so the two batches' names do not interleave.
unformatted="$(printf '%s\0' "${files[@]}" | xargs -0 -n 64 -P 2 bash -c '
  "$0" --style=file --dry-run -Werror --ferror-limit=1 "$@" 2>&1 | grep -oE "^[^: ]+\.(cpp|h|cc|c|hpp):" | tr -d : ;
  exit 0' "$format" | sort -u)"
if [ -n "$unformatted" ]; then
  echo "not formatted (bash scripts/format.sh formats them):"
  sed 's/^/  /' <<<"$unformatted"
  exit 1
fi
echo "format: ${#files[@]} files formatted"
