#!/usr/bin/env bash
# Two (or more) processes that run jobs of their own in one folder at the
# same time, several rounds each (twbatch stress): every output must hold
# exactly its own source's points.
#
#   .ci/overlap-stress.sh --windows [PROCESSES] [ROUNDS]
#       build-win32/twbatch.exe with build-win32/twPntOpt.dll under wine
#       (.ci/wine32.sh); needs the cross build (.ci/windows-cross-build.sh)
#   .ci/overlap-stress.sh --windows64 [PROCESSES] [ROUNDS]
#       the same with build-win64 under wine64 (.ci/wine64.sh)
#   .ci/overlap-stress.sh --linux [PROCESSES] [ROUNDS]
#       build/twbatch with build/libtwpntopt.so
#
# Defaults: 2 processes, 3 rounds. Exit status 0 when every output was right.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
mode=${1:-}
processes=${2:-2}
rounds=${3:-3}
case "$mode" in
  --windows|--windows64)
    bits=32
    [ "$mode" = --windows64 ] && bits=64
    runner=(bash "$root/.ci/wine$bits.sh" "$root/build-win$bits/twbatch.exe")
    module="$root/build-win$bits/twPntOpt.dll"
    # wine sees the Linux file system as drive Z:.
    prefix="Z:"
    ;;
  --linux)
    runner=("$root/build/twbatch")
    module="$root/build/libtwpntopt.so"
    prefix=""
    ;;
  *) echo "usage: $0 --windows|--windows64|--linux [PROCESSES] [ROUNDS]" >&2; exit 2 ;;
esac
[ -f "$module" ] || { echo "overlap-stress: no $module; build it first" >&2; exit 2; }

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
# The definition file the processes share, written before they start: on
# Windows a process that replaced it while another read it would fail.
printf 'precision := 3\nwritePath := false\nremoveTempFiles := true\n' >"$folder/twPntOpt.def"
pids=()
for ((tag = 0; tag < processes; ++tag)); do
  "${runner[@]}" stress "$prefix$module" "$prefix$folder" "$tag" "$rounds" >"$folder/log$tag.txt" 2>&1 &
  pids+=($!)
done
status=0
for ((tag = 0; tag < processes; ++tag)); do
  if ! wait "${pids[$tag]}"; then status=1; fi
  cat "$folder/log$tag.txt"
done
leftovers=$(cd "$folder" && ls | grep -E '^osrc_tmp|\.part$' || true)
if [ -n "$leftovers" ]; then
  echo "overlap-stress: left behind: $leftovers" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "overlap-stress: $processes processes x $rounds rounds, every output right"
exit "$status"
