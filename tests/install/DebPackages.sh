#!/usr/bin/env bash
# Makes the Debian packages of the build with CPack and checks what each holds.
# usage: DebPackages.sh CPACK BUILD_DIR WORK_DIR [PYTHON]
# With PYTHON (the interpreter the module is built for), the Python package
# too: unpacked beside the runtime package, its module imports from the
# folder the interpreter searches under /usr.
set -euo pipefail
cpack_cmd=$1 build=$2 work=$3 python=${4:-}
rm -rf "$work"
(cd "$build" && "$cpack_cmd" -G DEB -B "$work" >/dev/null)
check() { # package, file that must be in it
  local deb
  deb=$(ls "$work"/"$1"_*.deb)
  local listing
  listing=$(dpkg-deb -c "$deb") # whole, so that grep -q cannot cut the pipe
  grep -Eq " \./usr/$2( -> .*)?$" <<<"$listing" || { echo "$1 lacks /usr/$2"; exit 1; }
}
check libsxcmdif0 lib/libSXCmdIF.so.0
check libsxcmdif0 lib/libSXserIO.so.0
check libsxcmdif0 lib/udev/rules.d/70-sxtracker.rules
check libsxcmdif-dev include/SXCmdIF/SXCmdIF.h
check libsxcmdif-dev lib/cmake/SXCmdIF/SXCmdIFConfig.cmake
check libsxcmdif-dev lib/pkgconfig/sxcmdif.pc
check sxcmdif-tools bin/sxtool
check sxcmdif-tools bin/sxsim
check sxcmdif-tools share/bash-completion/completions/sxtool
check sxcmdif-tools share/bash-completion/completions/sxsim
if command -v help2man >/dev/null; then
  check sxcmdif-tools share/man/man1/sxtool.1.gz
  check sxcmdif-tools share/man/man1/sxsim.1.gz
fi
depends=$(dpkg-deb -f "$(ls "$work"/sxcmdif-tools_*.deb)" Depends)
grep -q libsxcmdif0 <<<"$depends" || { echo "sxcmdif-tools does not depend on libsxcmdif0"; exit 1; }
if [ -n "$python" ]; then
  site=$("$python" -c "import sysconfig; print(sysconfig.get_path('purelib', 'deb_system', {'base': '/usr'}))")
  check python3-sxcmdif "${site#/usr/}/sxcmdif/__init__.py"
  root="$work/root"
  for deb in "$work"/libsxcmdif0_*.deb "$work"/python3-sxcmdif_*.deb; do dpkg-deb -x "$deb" "$root"; done
  version=$(PYTHONPATH="$root$site" "$python" -c 'import sxcmdif; print(sxcmdif.version())')
  [ -n "$version" ] || { echo "the packaged module does not import"; exit 1; }
  depends=$(dpkg-deb -f "$(ls "$work"/python3-sxcmdif_*.deb)" Depends)
  grep -q "libsxcmdif0" <<<"$depends" || { echo "python3-sxcmdif does not depend on libsxcmdif0"; exit 1; }
fi
echo "ok packages"
