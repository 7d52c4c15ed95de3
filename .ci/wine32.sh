#!/usr/bin/env bash
# Runs a 32-bit Windows program on this 64-bit Linux machine with wine64 in
# its WoW64 mode, which needs no 32-bit Linux libraries:
#
#   .ci/wine32.sh --prepare            installs and sets up everything, once
#   .ci/wine32.sh PROGRAM.exe [ARG...] runs PROGRAM (a 32-bit PE file) with ARGs
#
# What wine64 lacks for WoW64 are the 32-bit builds of its own DLLs. They come
# from the package libwine:i386 of exactly the installed wine version,
# downloaded with a private package list (the machine keeps its architectures)
# and unpacked into a cache that outlives build folders:
# $TWPNTOPT_WINE_CACHE, by default ~/.cache/twpntopt-wine. The wine prefix
# lives there too and is created on first use. Exit status: the program's, or
# 125 when the set-up fails or the program is not a 32-bit PE file.
#
# Not every machine can do this. Debian 12's wine 8.0 starts a 32-bit program
# in its "experimental wow64 mode" and the process ends before the program's
# first instruction, and a kernel without 32-bit executables (execve of an
# i386 ELF file fails with ENOEXEC) rules out wine32:i386 as well. There
# `.ci/windows-tests.sh --arch 64` tests the same sources as 64-bit programs.
set -euo pipefail

cache="${TWPNTOPT_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/twpntopt-wine}"
tag=wine32
# shellcheck source=wine-common.sh
. "$(dirname "$0")/wine-common.sh"

# The folder that holds i386-windows/ for the installed wine version; fetched
# and unpacked when missing. Also copied into the prefix's syswow64, which
# wineboot leaves empty when it has no 32-bit loader of its own.
fetch_dlls() {
  local version root apt_options
  version=$(dpkg-query -W -f='${Version}' libwine 2>/dev/null) ||
    fail "libwine is not installed: apt-get install --no-install-recommends wine64"
  root="$cache/libwine-i386-$version"
  if [ ! -f "$root/.complete" ]; then
    say "fetching the 32-bit wine DLLs (libwine:i386 $version)"
    rm -rf "$root" "$cache/apt"
    mkdir -p "$cache/apt/lists/partial" "$cache/apt/archives/partial" "$root"
    apt_options=(-q -o APT::Architectures::=amd64 -o APT::Architectures::=i386
      -o Dir::State::Lists="$cache/apt/lists" -o Dir::Cache="$cache/apt"
      -o Dir::Cache::archives="$cache/apt/archives" -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" update >&2 || fail "private package list update failed (is Debian's archive reachable?)"
    (cd "$cache/apt/archives" && apt-get "${apt_options[@]}" download "libwine:i386=$version") >&2 ||
      fail "could not download libwine:i386=$version from Debian's archive"
    dpkg-deb -x "$cache"/apt/archives/libwine_*_i386.deb "$root" || fail "could not unpack libwine:i386"
    [ -f "$root/usr/lib/i386-linux-gnu/wine/i386-windows/ntdll.dll" ] ||
      fail "libwine:i386 holds no i386-windows/ntdll.dll"
    # The package lists and the archive are only needed once.
    rm -rf "$cache/apt"
    touch "$root/.complete"
  fi
  export WINEDLLPATH="$root/usr/lib/i386-linux-gnu/wine"
}

fill_syswow64() {
  local folder="$WINEPREFIX/drive_c/windows/syswow64"
  [ -f "$folder/cmd.exe" ] && return 0
  mkdir -p "$folder"
  cp -n "$WINEDLLPATH"/i386-windows/* "$folder/"
}

[ $# -ge 1 ] || fail "usage: $0 --prepare | PROGRAM.exe [ARG...]"
export WINEDEBUG="${WINEDEBUG:--all}"
locked install_wine
locked fetch_dlls
locked make_prefix
locked fill_syswow64
if [ "$1" = "--prepare" ]; then
  check_start syswow64 ||
    fail "wine cannot run a 32-bit program on this machine (see the head of $0); run .ci/windows-tests.sh --arch 64 instead"
  exit 0
fi
is_pe "$1" 4c01 0b01 || fail "$1 is not a 32-bit (i386) Windows PE program"
exec "$wine" "$@"
