#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; apt-get runs only
# when something is missing, so this is quick on a prepared machine.
set -euo pipefail

# What sxtool and its libraries need (bash scripts/setup.sh tool installs
# only these, for scripts/main.sh).
TOOL_PACKAGES=(
  build-essential cmake pkg-config ninja-build
  # A compiler cache for every build folder (scripts/cache.sh).
  ccache
  libusb-1.0-0-dev
  libcli11-dev nlohmann-json3-dev
  # sxtool view: the server on Boost.Beast (header-only), the page's three.js.
  libboost-dev libjs-three
)
PACKAGES=(
  "${TOOL_PACKAGES[@]}"
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  umockdev libumockdev-dev libglib2.0-dev
  clang-14 libclang-rt-14-dev
  # The style check (scripts/format.sh) and the static checks (scripts/tidy.sh).
  clang-format-14
  clang-tidy-14
  doxygen help2man bash-completion
  libopenigtlink-dev
  # sxtool ros2: Cyclone DDS and its IDL compiler; its tests: a Fast DDS
  # subscriber (types by fastddsgen) and network namespaces (iproute2).
  cyclonedds-dev cyclonedds-tools libfastrtps-dev fastddsgen iproute2
  pybind11-dev python3-pybind11 python3-dev python3-numpy python3-pytest
  # The Windows build (cmake/toolchains/mingw-w64.cmake) and its tests under Wine.
  g++-mingw-w64-x86-64-posix wine64
  # The viewer's tests in a real browser, and over plain WebSockets.
  chromium chromium-driver python3-selenium python3-websocket python3-pil
  # The C# binding (bindings/csharp): Mono's compiler, and NUnit 2.6 for its tests.
  mono-devel nunit-console libnunit-cil-dev
)
if [ "${1:-}" = tool ]; then
  PACKAGES=("${TOOL_PACKAGES[@]}")
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
