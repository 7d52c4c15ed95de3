# Shared by .ci/wine32.sh and .ci/wine64.sh (sourced, not run): installing
# wine64, creating a prefix under one lock, and telling PE programs apart.
# The caller sets `cache` (its cache folder) and `tag` (its message prefix).

wine=/usr/lib/wine/wine64

fail() {
  echo "$tag: $*" >&2
  exit 125
}

say() { echo "$tag: $*" >&2; }

install_wine() {
  [ -x "$wine" ] && return 0
  say "installing wine64 (Debian package wine64)"
  export DEBIAN_FRONTEND=noninteractive
  { apt-get update -q && apt-get install -y -q --no-install-recommends wine64; } >&2 ||
    fail "could not install wine64: run 'apt-get update && apt-get install --no-install-recommends wine64' as root"
  [ -x "$wine" ] || fail "the package wine64 is installed, but $wine is missing: reinstall it ('apt-get install --reinstall wine64')"
}

# Creates the prefix $cache/prefix on first use (WINEARCH=win64, as the only
# loader there is is the 64-bit one); `.complete` marks a finished one.
make_prefix() {
  export WINEPREFIX="$cache/prefix"
  [ -f "$WINEPREFIX/.complete" ] && return 0
  say "creating the wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  WINEARCH=win64 "$wine" wineboot --init >&2 || fail "wineboot --init failed in $WINEPREFIX"
  "${wine%/*}/wineserver" -w || true
  touch "$WINEPREFIX/.complete"
}

# Runs "$@" (the set-up steps) under one lock, so that parallel test runs
# share one set-up.
locked() {
  mkdir -p "$cache"
  exec 9>"$cache/.lock"
  flock 9
  "$@"
  flock -u 9
  exec 9>&-
}

# Succeeds when $1 is a PE file for `machine` (4 hex digits, little-endian as
# stored: 4c01 for i386, 6486 for x86-64) with the optional-header magic
# `magic` (0b01 for PE32, 0b02 for PE32+).
is_pe() {
  local file=$1 machine=$2 magic=$3 offset signature
  [ -f "$file" ] || return 1
  [ "$(head -c 2 "$file")" = "MZ" ] || return 1
  offset=$(od -An -t u4 -j 60 -N 4 "$file" | tr -d ' ')
  [ -n "$offset" ] || return 1
  signature=$(od -An -t x1 -j "$offset" -N 6 "$file" | tr -d ' \n')
  [ "$signature" = "50450000$machine" ] || return 1
  [ "$(od -An -t x1 -j $((offset + 24)) -N 2 "$file" | tr -d ' \n')" = "$magic" ]
}

# The first start in a fresh prefix is slow; --prepare does it outside any
# timing, with `cmd.exe` of the given system folder.
check_start() {
  local folder=$1 status=0
  "$wine" "$WINEPREFIX/drive_c/windows/$folder/cmd.exe" /c exit 7 || status=$?
  [ "$status" = 7 ]
}
