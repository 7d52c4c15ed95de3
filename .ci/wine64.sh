#!/usr/bin/env bash
# Runs a 64-bit Windows program on this Linux machine with wine64:
#
#   .ci/wine64.sh --prepare            installs and sets up everything, once
#   .ci/wine64.sh PROGRAM.exe [ARG...] runs PROGRAM (a PE32+ x86-64 file)
#
# wine64 comes from Debian's package of that name; its prefix lives in
# $TWPNTOPT_WINE64_CACHE, by default ~/.cache/twpntopt-wine64, and is created
# on first use. Exit status: the program's, or 125 when the set-up fails or
# the program is not a 64-bit PE file.
set -euo pipefail

cache="${TWPNTOPT_WINE64_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/twpntopt-wine64}"
tag=wine64
# shellcheck source=wine-common.sh
. "$(dirname "$0")/wine-common.sh"

[ $# -ge 1 ] || fail "usage: $0 --prepare | PROGRAM.exe [ARG...]"
export WINEDEBUG="${WINEDEBUG:--all}"
locked install_wine
locked make_prefix
if [ "$1" = "--prepare" ]; then
  check_start system32 || fail "wine64 cannot run a 64-bit program in $WINEPREFIX (remove that folder to start afresh)"
  exit 0
fi
is_pe "$1" 6486 0b02 || fail "$1 is not a 64-bit (x86-64) Windows PE program"
exec "$wine" "$@"
