#!/usr/bin/env bash
# Runs a 32-bit Windows program on this 64-bit Linux machine with wine64 in
# its WoW64 mode, which needs neither 32-bit Linux libraries nor IA32 support
# in the kernel:
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
set -euo pipefail

cache="${TWPNTOPT_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/twpntopt-wine}"
wine=/usr/lib/wine/wine64

fail() {
  echo "wine32: $*" >&2
  exit 125
}

say() { echo "wine32: $*" >&2; }

install_wine() {
  [ -x "$wine" ] && return 0
  say "installing wine64"
  export DEBIAN_FRONTEND=noninteractive
  { apt-get update -q && apt-get install -y -q --no-install-recommends wine64; } >&2 ||
    fail "could not install wine64"
  [ -x "$wine" ] || fail "wine64 installed, but $wine is missing"
}

# The folder that holds i386-windows/ for the installed wine version; fetched
# and unpacked when missing.
fetch_dlls() {
  local version root apt_options
  version=$(dpkg-query -W -f='${Version}' libwine 2>/dev/null) || fail "libwine is not installed"
  root="$cache/libwine-i386-$version"
  if [ ! -f "$root/.complete" ]; then
    say "fetching the 32-bit wine DLLs (libwine:i386 $version)"
    rm -rf "$root" "$cache/apt"
    mkdir -p "$cache/apt/lists/partial" "$cache/apt/archives/partial" "$root"
    apt_options=(-q -o APT::Architectures::=amd64 -o APT::Architectures::=i386
      -o Dir::State::Lists="$cache/apt/lists" -o Dir::Cache="$cache/apt"
      -o Dir::Cache::archives="$cache/apt/archives" -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" update >&2 || fail "private package list update failed"
    (cd "$cache/apt/archives" && apt-get "${apt_options[@]}" download "libwine:i386=$version") >&2 ||
      fail "could not download libwine:i386=$version"
    dpkg-deb -x "$cache"/apt/archives/libwine_*_i386.deb "$root" || fail "could not unpack libwine:i386"
    [ -f "$root/usr/lib/i386-linux-gnu/wine/i386-windows/ntdll.dll" ] ||
      fail "libwine:i386 holds no i386-windows/ntdll.dll"
    # The package lists and the archive are only needed once.
    rm -rf "$cache/apt"
    touch "$root/.complete"
  fi
  export WINEDLLPATH="$root/usr/lib/i386-linux-gnu/wine"
}

make_prefix() {
  export WINEPREFIX="$cache/prefix"
  [ -f "$WINEPREFIX/.complete" ] && return 0
  say "creating the wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  WINEARCH=win64 "$wine" wineboot --init >&2 || fail "wineboot --init failed"
  "${wine%/*}/wineserver" -w || true
  touch "$WINEPREFIX/.complete"
}

# The whole set-up under one lock, so that parallel test runs share it.
prepare() {
  mkdir -p "$cache"
  exec 9>"$cache/.lock"
  flock 9
  install_wine
  fetch_dlls
  make_prefix
  flock -u 9
  exec 9>&-
}

# PE32 (not PE32+) for i386: "MZ", then at e_lfanew "PE\0\0", machine 0x014c
# and optional-header magic 0x010b.
is_pe32_i386() {
  local offset signature
  [ -f "$1" ] || return 1
  [ "$(head -c 2 "$1")" = "MZ" ] || return 1
  offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  [ -n "$offset" ] || return 1
  signature=$(od -An -t x1 -j "$offset" -N 6 "$1" | tr -d ' \n')
  [ "$signature" = "504500004c01" ] || return 1
  [ "$(od -An -t x1 -j $((offset + 24)) -N 2 "$1" | tr -d ' \n')" = "0b01" ]
}

[ $# -ge 1 ] || fail "usage: $0 --prepare | PROGRAM.exe [ARG...]"
export WINEDEBUG="${WINEDEBUG:--all}"
prepare
if [ "$1" = "--prepare" ]; then
  # The first 32-bit start in a fresh prefix is slow; it happens here, outside
  # any timing.
  status=0
  "$wine" "$WINEPREFIX/drive_c/windows/syswow64/cmd.exe" /c exit 7 || status=$?
  [ "$status" = 7 ] || fail "wine cannot run a 32-bit program (status $status)"
  exit 0
fi
is_pe32_i386 "$1" || fail "$1 is not a 32-bit (i386) Windows PE program"
exec "$wine" "$@"
