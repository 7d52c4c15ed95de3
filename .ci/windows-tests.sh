#!/usr/bin/env bash
# The 32-bit Windows build tested end to end on this Linux machine, under
# wine64's WoW64 mode (.ci/wine32.sh):
#   1. the cross build with its unit tests, and the DLL's exports and imports
#      (.ci/windows-cross-build.sh);
#   2. the unit tests as 32-bit Windows programs;
#   3. the example job under every algorithm name through twcycle.exe and
#      twPntOpt.dll: the output has CR LF line ends and equals the stored
#      golden file byte for byte after CR LF -> LF; the summary twcycle.exe
#      prints equals the Linux host's;
#   4. the differential: seeded jobs through every algorithm name, run by the
#      Linux module and by the DLL; outputs (orders, lengths, whole files)
#      must be identical.
#
#   .ci/windows-tests.sh                 everything above
#   .ci/windows-tests.sh --x87-control   builds the DLL with x87 arithmetic
#                                        and succeeds only if the
#                                        differential finds differences
# Environment: TW_DIFF_JOBS (default 200) and TW_DIFF_SEED (default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${TW_DIFF_JOBS:-200}
seed=${TW_DIFF_SEED:-1}
algorithms=(nearest nearestDirected nearestDirCross insert extendedA extendedB)
control=false
case "${1:-}" in
  "") ;;
  --x87-control) control=true ;;
  *) echo "usage: $0 [--x87-control]" >&2; exit 2 ;;
esac

section() { echo "== $*"; }
seconds_since() { echo $(( $(date +%s) - $1 )); }

section "Cross build with tests; DLL exports and imports"
TWPNTOPT_CROSS_TESTS=ON bash .ci/windows-cross-build.sh
# The Linux side of the comparisons.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target twpntopt twcycle twbatch

section "Wine set-up (first start, not timed)"
.ci/wine32.sh --prepare
wine32=(.ci/wine32.sh)

# Runs the seeded jobs through the Linux module and through `dll`, both at
# once (one core each), and compares; the status of the comparison.
differential() {
  local dll=$1 out=$2 start status=0
  rm -rf "$out"
  build/twbatch make "$out/linux" "$jobs" "$seed"
  cp -r "$out/linux" "$out/win32"
  start=$(date +%s)
  build/twbatch run build/libtwpntopt.so "$out/linux" >"$out/linux.log" 2>&1 &
  local linux=$!
  "${wine32[@]}" build-win32/twbatch.exe run "$dll" "$out/win32" >"$out/win32.log" 2>&1 || status=$?
  wait "$linux" || { cat "$out/linux.log"; return 2; }
  [ "$status" = 0 ] || { cat "$out/win32.log"; return 2; }
  echo "$(tr -d '\r' <"$out/win32.log") under wine, $(cat "$out/linux.log") on Linux, $(seconds_since "$start") s"
  build/twbatch compare "$out/linux" "$out/win32" --crlf
}

if $control; then
  section "x87 control: the differential must find differences"
  cmake -S . -B build-win32-x87 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DTWPNTOPT_TESTS=OFF \
    -DTWPNTOPT_X87_CONTROL=ON >/dev/null
  cmake --build build-win32-x87 --target twpntopt
  status=0
  differential build-win32-x87/twPntOpt.dll build-win32/differential-x87 || status=$?
  if [ "$status" = 1 ]; then
    echo "x87 control: differences found, as they must be"
    exit 0
  fi
  echo "x87 control: the differential found no difference (status $status)"
  exit 1
fi

section "Unit tests under wine"
# The prefix is kept between runs, and so is what tests leave in its
# temporary folder when Windows cannot remove it (paths beyond MAX_PATH);
# start every run from an empty one, so that no name of an earlier run is
# taken.
wine_cache="${TWPNTOPT_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/twpntopt-wine}"
for temp in "$wine_cache"/prefix/drive_c/users/*/Temp; do
  [ -d "$temp" ] && find "$temp" -mindepth 1 -delete
done
start=$(date +%s)
ctest --test-dir build-win32 --output-on-failure -j 2
echo "unit tests: $(seconds_since "$start") s"

section "Golden jobs through twcycle.exe and twPntOpt.dll"
start=$(date +%s)
for algorithm in "${algorithms[@]}"; do
  for side in linux win32; do
    folder="build-win32/golden/$algorithm/$side"
    rm -rf "$folder"
    mkdir -p "$folder"
    cp examples/twPntOpt.def examples/board.twx "$folder/"
    { cat examples/board.pcf; printf 'algorithm := %s\nwritePath := true\nremoveTempFiles := true\n' "$algorithm"; } \
      >"$folder/job.pcf"
  done
  (cd "build-win32/golden/$algorithm/linux" && "$root/build/twcycle" -Sjob >summary.txt)
  (cd "build-win32/golden/$algorithm/win32" && "$root/.ci/wine32.sh" "$root/build-win32/twcycle.exe" -Sjob >summary.txt)
  output="build-win32/golden/$algorithm/win32/board_sorted.twx"
  lines=$(wc -l <"$output")
  crlf=$(grep -c $'\r$' "$output" || true)
  if [ "$lines" = 0 ] || [ "$crlf" != "$lines" ]; then
    echo "$algorithm: $crlf of $lines lines of $output end with CR LF"
    exit 1
  fi
  if ! tr -d '\r' <"$output" | cmp -s - "tests/data/golden/board_$algorithm.twx"; then
    echo "$algorithm: $output differs from tests/data/golden/board_$algorithm.twx"
    exit 1
  fi
  if ! tr -d '\r' <"build-win32/golden/$algorithm/win32/summary.txt" |
    cmp -s - "build-win32/golden/$algorithm/linux/summary.txt"; then
    echo "$algorithm: twcycle.exe's summary differs from the Linux host's"
    diff <(tr -d '\r' <"build-win32/golden/$algorithm/win32/summary.txt") "build-win32/golden/$algorithm/linux/summary.txt"
    exit 1
  fi
  echo "$algorithm: $lines CR LF lines, equal to the golden file; summary equal"
done
echo "golden jobs: $(seconds_since "$start") s"

section "Differential: $jobs seeded jobs x ${#algorithms[@]} algorithm names, Linux module against the DLL"
differential build-win32/twPntOpt.dll build-win32/differential
