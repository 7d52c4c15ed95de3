#!/usr/bin/env bash
# Cross-builds the module and the host for Windows with mingw-w64 and checks
# the DLL: exactly the four exports, undecorated, and no dependency beyond
# what Windows itself ships.
#
#   .ci/windows-cross-build.sh [--arch 32|64]   build-win32/ (default) or build-win64/
#
# TWPNTOPT_CROSS_TESTS=ON also builds the unit tests (.ci/windows-tests.sh
# runs them under wine); their GoogleTest is built from its sources.
set -euo pipefail
cd "$(dirname "$0")/.."

bits=32
case "${1:-}" in
  "") ;;
  --arch) bits=${2:-} ;;
  *) echo "usage: $0 [--arch 32|64]" >&2; exit 2 ;;
esac
case "$bits" in
  32) triplet=i686-w64-mingw32 package=g++-mingw-w64-i686 toolchain=cmake/mingw-i686.cmake ;;
  64) triplet=x86_64-w64-mingw32 package=g++-mingw-w64-x86-64 toolchain=cmake/mingw-x86_64.cmake ;;
  *) echo "usage: $0 [--arch 32|64]" >&2; exit 2 ;;
esac

install() {
  export DEBIAN_FRONTEND=noninteractive
  { apt-get update -q && apt-get install -y -q "$@"; } ||
    { echo "could not install $*: run 'apt-get update && apt-get install $*' as root" >&2; exit 1; }
}
command -v "$triplet-g++-posix" >/dev/null || install "$package"
if [ "${TWPNTOPT_CROSS_TESTS:-OFF}" = ON ] && [ ! -f /usr/src/googletest/CMakeLists.txt ]; then
  install googletest
fi
folder=build-win$bits
cmake -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DTWPNTOPT_TESTS="${TWPNTOPT_CROSS_TESTS:-OFF}" -DTWPNTOPT_WERROR=ON
cmake --build "$folder"

dll="$folder/twPntOpt.dll"
exports=$("$triplet-objdump" -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/ && !/Ordinal/ {print $NF}' | sort | tr '\n' ' ')
expected="twCSexecCycle twCSgetCycle twCSgetSignal twCSsetSignal "
if [ "$exports" != "$expected" ]; then
  echo "$dll exports [$exports], expected [$expected]"
  exit 1
fi
imports=$("$triplet-objdump" -p "$dll" | awk '/DLL Name:/ {print $3}' | sort | tr '\n' ' ')
if [ "$imports" != "KERNEL32.dll msvcrt.dll " ]; then
  echo "$dll imports [$imports], expected only KERNEL32.dll and msvcrt.dll"
  exit 1
fi
echo "$dll: exports $exports; imports $imports"
