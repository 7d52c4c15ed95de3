#!/usr/bin/env bash
# The Windows build tested end to end on this Linux machine, under wine:
#   1. the cross build with its unit tests, and the DLL's exports and imports
#      (.ci/windows-cross-build.sh);
#   2. the unit tests as Windows programs;
#   3. the example job under every algorithm name through twcycle.exe and
#      twPntOpt.dll: the output has CR LF line ends and equals the stored
#      golden file byte for byte after CR LF -> LF; the summary twcycle.exe
#      prints equals the Linux host's;
#   4. the differential: seeded jobs through every algorithm name, run by the
#      Linux module and by the DLL; outputs (orders, lengths, whole files)
#      must be identical;
#   5. a generated board of 42,000 holes through `twcycle drill` (nearOptimal
#      on its large-set road) on both hosts: the same drill file and summary;
#   6. two processes running jobs in one folder at once through the DLL
#      (.ci/overlap-stress.sh): every output holds its own source's points.
#
#   .ci/windows-tests.sh [--arch 32|64]                  everything above
#   .ci/windows-tests.sh [--arch 32|64] --x87-control    builds the DLL with
#                                        x87 arithmetic and succeeds only if
#                                        the differential finds differences
#
# --arch 32 (the default) builds the shipped 32-bit DLL and runs it with
# .ci/wine32.sh, which needs a wine that runs 32-bit programs. --arch 64
# builds the same sources as 64-bit programs and runs them with wine64
# (.ci/wine64.sh), which every 64-bit Linux machine with Debian's wine64 can.
# Both builds do their arithmetic in SSE2, so either differential guards the
# same rounding.
# Environment: TW_DIFF_JOBS (default 200) and TW_DIFF_SEED (default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${TW_DIFF_JOBS:-200}
seed=${TW_DIFF_SEED:-1}
# The names with a stored golden output of the example job.
algorithms=(nearest nearestDirected nearestDirCross insert extendedA extendedB)
control=false
bits=32
usage() { echo "usage: $0 [--arch 32|64] [--x87-control]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) [ $# -ge 2 ] || usage; bits=$2; shift 2 ;;
    --x87-control) control=true; shift ;;
    *) usage ;;
  esac
done
case "$bits" in
  32) toolchain=cmake/mingw-i686.cmake
      wine_cache="${TWPNTOPT_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/twpntopt-wine}" ;;
  64) toolchain=cmake/mingw-x86_64.cmake
      wine_cache="${TWPNTOPT_WINE64_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/twpntopt-wine64}" ;;
  *) usage ;;
esac
folder=build-win$bits
runner="$root/.ci/wine$bits.sh"

section() { echo "== $*"; }
seconds_since() { echo $(( $(date +%s) - $1 )); }

section "Cross build with tests; DLL exports and imports"
TWPNTOPT_CROSS_TESTS=ON bash .ci/windows-cross-build.sh --arch "$bits"
# The Linux side of the comparisons.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target twpntopt twcycle twbatch

section "Wine set-up (first start, not timed)"
"$runner" --prepare

# Runs the seeded jobs through the Linux module and through `dll`, both at
# once (one core each), and compares; the status of the comparison.
differential() {
  local dll=$1 out=$2 start status=0
  rm -rf "$out"
  build/twbatch make "$out/linux" "$jobs" "$seed"
  cp -r "$out/linux" "$out/windows"
  start=$(date +%s)
  build/twbatch run build/libtwpntopt.so "$out/linux" >"$out/linux.log" 2>&1 &
  local linux=$!
  "$runner" "$folder/twbatch.exe" run "$dll" "$out/windows" >"$out/windows.log" 2>&1 || status=$?
  wait "$linux" || { cat "$out/linux.log"; return 2; }
  [ "$status" = 0 ] || { cat "$out/windows.log"; return 2; }
  echo "$(tr -d '\r' <"$out/windows.log") under wine, $(cat "$out/linux.log") on Linux, $(seconds_since "$start") s"
  build/twbatch compare "$out/linux" "$out/windows" --crlf
}

if $control; then
  section "x87 control: the differential must find differences"
  cmake -S . -B "$folder-x87" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTWPNTOPT_TESTS=OFF \
    -DTWPNTOPT_X87_CONTROL=ON >/dev/null
  cmake --build "$folder-x87" --target twpntopt
  status=0
  differential "$folder-x87/twPntOpt.dll" "$folder/differential-x87" || status=$?
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
for temp in "$wine_cache"/prefix/drive_c/users/*/Temp; do
  [ -d "$temp" ] && find "$temp" -mindepth 1 -delete
done
start=$(date +%s)
ctest --test-dir "$folder" --output-on-failure -j 2
echo "unit tests: $(seconds_since "$start") s"

section "Golden jobs through twcycle.exe and twPntOpt.dll ($bits-bit)"
start=$(date +%s)
for algorithm in "${algorithms[@]}"; do
  for side in linux windows; do
    job="$folder/golden/$algorithm/$side"
    rm -rf "$job"
    mkdir -p "$job"
    cp examples/twPntOpt.def examples/board.twx "$job/"
    { cat examples/board.pcf; printf 'algorithm := %s\nwritePath := true\nremoveTempFiles := true\n' "$algorithm"; } \
      >"$job/job.pcf"
  done
  (cd "$folder/golden/$algorithm/linux" && "$root/build/twcycle" -Sjob >summary.txt)
  (cd "$folder/golden/$algorithm/windows" && "$runner" "$root/$folder/twcycle.exe" -Sjob >summary.txt)
  output="$folder/golden/$algorithm/windows/board_sorted.twx"
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
  if ! tr -d '\r' <"$folder/golden/$algorithm/windows/summary.txt" |
    cmp -s - "$folder/golden/$algorithm/linux/summary.txt"; then
    echo "$algorithm: twcycle.exe's summary differs from the Linux host's"
    diff <(tr -d '\r' <"$folder/golden/$algorithm/windows/summary.txt") "$folder/golden/$algorithm/linux/summary.txt"
    exit 1
  fi
  echo "$algorithm: $lines CR LF lines, equal to the golden file; summary equal"
done
echo "golden jobs: $(seconds_since "$start") s"

section "Differential: $jobs seeded jobs x every algorithm name (nearOptimal too), Linux module against the $bits-bit DLL"
differential_status=0
differential "$folder/twPntOpt.dll" "$folder/differential" || differential_status=$?
[ "$differential_status" -eq 0 ] || exit "$differential_status"

section "A large board through nearOptimal: twcycle.exe against the Linux host"
# The seeded jobs are small; from 10,000 holes the near-optimal search runs
# on another tour structure, and past 25,000 on another work budget. One
# generated board of 30,000 and 12,000 holes goes through both hosts.
large="$folder/large"
rm -rf "$large"
mkdir -p "$large"
awk 'BEGIN {
  s = 20261209
  print "M48"; print "METRIC,TZ"; print "T1C0.300"; print "T2C0.800"; print "%"
  for (tool = 1; tool <= 2; ++tool) {
    print "T" tool
    count = tool == 1 ? 30000 : 12000
    for (i = 0; i < count; ++i) {
      s = (s * 16807) % 2147483647; x = s % 250000
      s = (s * 16807) % 2147483647; y = s % 200000
      printf "X%d.%03dY%d.%03d\n", x / 1000, x % 1000, y / 1000, y % 1000
    }
  }
  print "M30"
}' >"$large/board.drl"
mkdir -p "$large/linux" "$large/windows"
cp "$large/board.drl" "$large/linux/" && cp "$large/board.drl" "$large/windows/"
start=$(date +%s)
(cd "$large/linux" && "$root/build/twcycle" drill board.drl -o sorted.drl >summary.txt 2>&1) || { cat "$large/linux/summary.txt"; exit 2; }
(cd "$large/windows" && "$runner" "$root/$folder/twcycle.exe" drill board.drl -o sorted.drl >summary.txt 2>&1) || { cat "$large/windows/summary.txt"; exit 2; }
if ! cmp -s "$large/linux/sorted.drl" <(tr -d '\r' <"$large/windows/sorted.drl"); then
  echo "nearOptimal on the large board: twcycle.exe's drill file differs from the Linux host's"
  exit 1
fi
if ! cmp -s "$large/linux/summary.txt" <(tr -d '\r' <"$large/windows/summary.txt"); then
  echo "nearOptimal on the large board: twcycle.exe's summary differs from the Linux host's"
  diff "$large/linux/summary.txt" <(tr -d '\r' <"$large/windows/summary.txt") | head -20
  exit 1
fi
echo "large board: $(grep -c '^X' "$large/linux/sorted.drl") holes, the same bytes on both hosts, $(seconds_since "$start") s"

section "Two processes in one folder through the $bits-bit DLL"
stress_mode=--windows
[ "$bits" = 64 ] && stress_mode=--windows64
bash .ci/overlap-stress.sh "$stress_mode" 2 5
