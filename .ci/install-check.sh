#!/usr/bin/env bash
# Installs twPntOpt as a user would and runs what was installed, with the
# build folder out of reach:
#  1. cmake --install into a temporary prefix: the file list, the module's
#     soname and exports, twcycle on the example job and drill file from a
#     folder of its own, a C host built through pkg-config and one built
#     through the CMake package;
#  2. cpack -G DEB: the package's dependencies and file list, then its files
#     unpacked with dpkg -x into a scratch root and run from there.
# Usage: .ci/install-check.sh [BUILD_DIR]   (default: build-install)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build-install}
scratch=$(mktemp -d)
away="$build.out-of-reach.$$"
restore() {
  if [ -d "$away" ]; then mv "$away" "$build"; fi
  rm -rf "$scratch"
}
trap restore EXIT
fail() { echo "install-check: $*" >&2; exit 1; }

echo "== install-check: build ($build, Release, no tests)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWPNTOPT_TESTS=OFF >/dev/null
cmake --build "$build" --target twcycle

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
version=$(sed -n 's/^project(twPntOpt VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
major=${version%%.*}

# The files an installation holds, relative to its prefix (lib as configured).
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
expected_files() {
  cat <<LIST
bin/twcycle
include/twpntopt.h
$libdir/cmake/twpntopt/twpntoptConfig.cmake
$libdir/cmake/twpntopt/twpntoptConfigVersion.cmake
$libdir/cmake/twpntopt/twpntoptTargets-release.cmake
$libdir/cmake/twpntopt/twpntoptTargets.cmake
$libdir/libtwpntopt.so
$libdir/libtwpntopt.so.$major
$libdir/libtwpntopt.so.$version
$libdir/pkgconfig/twpntopt.pc
share/doc/twpntopt/LICENSE
share/doc/twpntopt/README.md
share/man/man1/twcycle.1
share/twpntopt/examples/board.drl
share/twpntopt/examples/board.pcf
share/twpntopt/examples/board.twx
share/twpntopt/examples/help.pcf
share/twpntopt/examples/twPntOpt.def
share/twpntopt/examples/twPntOpt.msg
LIST
}
listed=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
diff <(expected_files | sort) <(echo "$listed") || fail "the installation's file list differs (above: < expected, > installed)"

module="$prefix/$libdir/libtwpntopt.so.$major"
soname=$(readelf -d "$module" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
[ "$soname" = "libtwpntopt.so.$major" ] || fail "soname is '$soname'"
exports=$(nm -D --defined-only "$module" | awk '$2 == "T" {print $3}' | sort | tr '\n' ' ')
[ "$exports" = "twCSexecCycle twCSgetCycle twCSgetSignal twCSsetSignal " ] || fail "module exports: $exports"
if command -v groff >/dev/null; then
  groff -man -Tutf8 -ww -z "$prefix/share/man/man1/twcycle.1" 2>"$scratch/groff.log" || true
  [ ! -s "$scratch/groff.log" ] || { cat "$scratch/groff.log"; fail "the manual page has roff warnings"; }
fi

# Runs twcycle ($1) on the example job and drill file of $2 in a new folder $3.
run_examples() {
  local twcycle=$1 examples=$2 work=$3
  mkdir -p "$work"
  cp "$examples"/* "$work/"
  (
    cd "$work"
    "$twcycle" --version | tee version.txt
    grep -q "^module .*libtwpntopt.so.$major: .* $version of " version.txt || fail "--version names no module version"
    "$twcycle" --quiet --svg board.svg -Sboard
    [ -s board_sorted.twx ] && [ -s board.svg ] || fail "the job wrote no output"
    "$twcycle" drill board.drl -o board_sorted.drl --quiet
    [ -s board_sorted.drl ] || fail "drill wrote no output"
    [ "$(grep -c '^X' board.drl)" = "$(grep -c '^X' board_sorted.drl)" ] || fail "drill lost holes"
  )
}

echo "== install-check: installed twcycle, build folder out of reach"
mv "$build" "$away"
run_examples "$prefix/bin/twcycle" "$prefix/share/twpntopt/examples" "$scratch/run-installed"

echo "== install-check: a C host through pkg-config"
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
[ "$(pkg-config --modversion twpntopt)" = "$version" ] || fail "pkg-config version"
[ -f "$(pkg-config --variable=module twpntopt)" ] || fail "pkg-config names no module file"
# shellcheck disable=SC2046
cc -std=c11 -Wall -Wextra -Werror -pedantic $(pkg-config --cflags twpntopt) -x c tests/install/host.c \
   $(pkg-config --libs twpntopt) -Wl,-rpath,"$(pkg-config --variable=libdir twpntopt)" -o "$scratch/host-pc"
mkdir -p "$scratch/host-pc-run" && cp "$prefix/share/twpntopt/examples"/* "$scratch/host-pc-run/"
(cd "$scratch/host-pc-run" && "$scratch/host-pc" board board_sorted.twx)

echo "== install-check: a C host through find_package(twpntopt)"
cmake -S tests/install -B "$scratch/host-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/host-cmake" >/dev/null
mkdir -p "$scratch/host-cmake-run" && cp "$prefix/share/twpntopt/examples"/* "$scratch/host-cmake-run/"
(cd "$scratch/host-cmake-run" && "$scratch/host-cmake/host" board board_sorted.twx)
mv "$away" "$build"

echo "== install-check: Debian package"
rm -f "$build"/twpntopt_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/twpntopt_"$version"_*.deb)
dpkg-deb --field "$deb" Package Version Depends
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libc6 libstdc++6; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
# Every file and link of the package, under /usr, as the installation lists them.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort >"$scratch/deb-files"
diff <(expected_files | sort) "$scratch/deb-files" || fail "the package's file list differs (< expected, > packaged)"
dpkg -x "$deb" "$scratch/deb-root"
mv "$build" "$away"
run_examples "$scratch/deb-root/usr/bin/twcycle" "$scratch/deb-root/usr/share/twpntopt/examples" "$scratch/run-deb"
echo "install-check: all passed"
