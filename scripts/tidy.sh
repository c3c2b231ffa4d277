#!/usr/bin/env bash
# clang-tidy (the checks of .clang-tidy) over the libraries' sources:
# SXCmdIF/, SXserIO/, SXlibusb/, platform/ and wire/, with the flags of the
# plain build's compile_commands.json (build/, or $SX_BUILD_DIR). Any
# finding fails the script.
#
# Checking every file takes minutes, so clean results are kept in a cache
# ($SX_TIDY_CACHE, default ~/.cache/sxcmdif-tidy/): a file's key is the hash
# of its preprocessed source with comments (so a NOLINT counts), of
# .clang-tidy and of clang-tidy's version. Only files whose key changed are
# checked again; a file with findings is never cached.
# Two files are checked at a time, under $SX_BUILD_LOCK when it is set.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SX_BUILD_DIR:-$root/build}"
cache="${SX_TIDY_CACHE:-$HOME/.cache/sxcmdif-tidy}"
tidy="${SX_CLANG_TIDY:-clang-tidy-14}"
jobs=2

if [ -n "${SX_BUILD_LOCK:-}" ] && [ -z "${SX_TIDY_LOCKED:-}" ]; then
  SX_TIDY_LOCKED=1 exec flock "$SX_BUILD_LOCK" bash "${BASH_SOURCE[0]}" "$@"
fi

db="$build/compile_commands.json"
if [ ! -f "$db" ]; then
  echo "tidy: $db is missing; build first (bash scripts/build.sh)" >&2
  exit 1
fi
mkdir -p "$cache"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One line a library source: the file, its folder, and its compile command
# without the output and -c, shell-quoted, to preprocess it.
python3 - "$db" "$root" > "$work/sources" <<'EOF'
import json, shlex, sys
db, root = sys.argv[1], sys.argv[2]
folders = tuple(f"{root}/{d}/" for d in ("SXCmdIF", "SXserIO", "SXlibusb", "platform", "wire"))
seen = set()
for entry in json.load(open(db)):
    path = entry["file"]
    if not path.endswith(".cpp") or not path.startswith(folders) or path in seen:
        continue
    seen.add(path)
    args = entry.get("arguments") or shlex.split(entry["command"])
    kept, skip = [], False
    for a in args:
        if skip:
            skip = False
        elif a == "-o":
            skip = True
        elif a != "-c" and a != path:
            kept.append(a)
    print("\t".join([path, entry["directory"], shlex.join(kept)]))
EOF

# The compile commands are GCC's; clang reads GCC's __constinit (checked
# constant initialisation of the default records) under its own name, as
# the clang builds do (CMakeLists.txt).
extra_arg='--extra-arg=-D__constinit=__attribute__((require_constant_initialization))'

# What every key shares: the checks, this script and the tool's version.
common="$( (cat "$root/.clang-tidy" "${BASH_SOURCE[0]}"; "$tidy" --version) | sha256sum | cut -d' ' -f1)"

check_one() {
  local path="$1" dir="$2" cmd="$3" key out
  # The build's date and time are fixed here, or the file that prints them
  # would never be found in the cache.
  key="$( (echo "$common"; cd "$dir" &&
           eval "$cmd -E -C -Wno-builtin-macro-redefined -D__DATE__='\"-\"' -D__TIME__='\"-\"' \"\$path\"") |
         sha256sum | cut -d' ' -f1)"
  if [ -f "$cache/$key" ]; then
    echo "cached $path"
    return 0
  fi
  if out="$("$tidy" -p "$build" --quiet --warnings-as-errors='*' "$extra_arg" "$path" 2>&1)" &&
     ! grep -qE '(warning|error):' <<<"$out"; then
    touch "$cache/$key"
    echo "clean $path"
  else
    # Only the findings: clang-tidy's counts of suppressed warnings are noise.
    grep -vE '^[0-9]+ (warning|error)s? (generated|treated as errors)|^Suppressed|^Use -header-filter|^Error while processing' <<<"$out" >&2 || true
    echo "FINDINGS $path"
  fi
}
export -f check_one
export tidy build cache common extra_arg

tr '\n' '\0' < "$work/sources" |
  xargs -0 -P"$jobs" -I{} bash -c 'IFS=$'"'\t'"' read -r p d c <<<"$1"; check_one "$p" "$d" "$c"' _ {} > "$work/results"

files=$(wc -l < "$work/results")
cached=$(grep -c '^cached ' "$work/results" || true)
bad=$(grep '^FINDINGS ' "$work/results" | cut -d' ' -f2- || true)
grep '^clean ' "$work/results" || true
echo "tidy: $files files, $cached from the cache"
if [ -n "$bad" ]; then
  echo "tidy: findings in:" >&2
  sed 's/^/  /' <<<"$bad" >&2
  exit 1
fi
