# Sourced by the build scripts: a compiler cache for every build folder
# (plain, Debug, Windows, the sanitizers'), when ccache is installed and
# SX_CCACHE is not 0. The cache lives outside the tree and paths are taken
# relative to the tree, so a fresh clone anywhere on the same machine
# compiles only what changed since the last build. Settings made by the
# caller (CCACHE_DIR, CCACHE_MAXSIZE, a launcher of its own) are kept.
if [ "${SX_CCACHE:-1}" != 0 ] && command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
  export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/sxcmdif-ccache}"
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"
  export CCACHE_BASEDIR="$root"
  # The build folder's path is no part of an object's identity.
  export CCACHE_NOHASHDIR=1
fi
