#!/usr/bin/env bash
# Cross-builds the module and the host for 32-bit Windows with mingw-w64 and
# checks the DLL: exactly the four exports, undecorated, and no dependency
# beyond what Windows itself ships.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v i686-w64-mingw32-g++-posix >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q g++-mingw-w64-i686
fi

# TWPNTOPT_CROSS_TESTS=ON also builds the unit tests (.ci/windows-tests.sh
# runs them under wine); their GoogleTest is built from its sources.
if [ "${TWPNTOPT_CROSS_TESTS:-OFF}" = ON ] && [ ! -f /usr/src/googletest/CMakeLists.txt ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q googletest
fi
cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DTWPNTOPT_TESTS="${TWPNTOPT_CROSS_TESTS:-OFF}" -DTWPNTOPT_WERROR=ON
cmake --build build-win32

exports=$(i686-w64-mingw32-objdump -p build-win32/twPntOpt.dll |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/ && !/Ordinal/ {print $NF}' | sort | tr '\n' ' ')
expected="twCSexecCycle twCSgetCycle twCSgetSignal twCSsetSignal "
if [ "$exports" != "$expected" ]; then
  echo "twPntOpt.dll exports [$exports], expected [$expected]"
  exit 1
fi
imports=$(i686-w64-mingw32-objdump -p build-win32/twPntOpt.dll | awk '/DLL Name:/ {print $3}' | sort | tr '\n' ' ')
if [ "$imports" != "KERNEL32.dll msvcrt.dll " ]; then
  echo "twPntOpt.dll imports [$imports], expected only KERNEL32.dll and msvcrt.dll"
  exit 1
fi
echo "twPntOpt.dll: exports $exports; imports $imports"
