#!/bin/sh
# Runs the example drilling job (controller board CB-204) through twcycle.
# Usage: examples/run.sh [BUILD_DIR]   (default: build)
# The job's files are copied into BUILD_DIR/example, where the ordered
# geometry (board_sorted.twx) and a picture of the paths (board.svg) are left.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out="$build/example"
mkdir -p "$out"
cp "$root/examples/twPntOpt.def" "$root/examples/twPntOpt.msg" "$root/examples/help.pcf" \
   "$root/examples/board.pcf" "$root/examples/board.twx" "$out/"
cd "$out"
"$build/twcycle" --svg board.svg -Sboard
echo "Output: $out/board_sorted.twx and $out/board.svg"
