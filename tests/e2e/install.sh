#!/bin/bash
# End-to-end: `cmake --install` puts kusolvanta, the windowed alias kusolvantaw and a valid launcher in
# place, and the installed alias opens in a window that a key press ends.
# Usage: install.sh BUILD_DIR WORKDIR   (run under xvfb-run)
set -u
build=$1 work=$2
. "$(dirname "$0")/lib.sh"
mkdir -p "$work"
prefix=$work/prefix
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install failed"; }

[ -x "$prefix/bin/kusolvanta" ] || fail "bin/kusolvanta missing"
[ -x "$prefix/bin/kusolvantaw" ] || fail "bin/kusolvantaw missing"
[ "$(readlink -f "$prefix/bin/kusolvantaw")" = "$(readlink -f "$prefix/bin/kusolvanta")" ] \
    || cmp -s "$prefix/bin/kusolvantaw" "$prefix/bin/kusolvanta" || fail "kusolvantaw is not the demo"
launcher=$prefix/share/applications/kusolvanta.desktop
[ -f "$launcher" ] || fail "launcher missing"
desktop-file-validate "$launcher" || fail "desktop-file-validate rejects the launcher"
grep -qx "Exec=kusolvanta" "$launcher" || fail "the launcher does not start kusolvanta"

export SDL_AUDIODRIVER=dummy
startDemo "$work/installed.err" "$prefix/bin/kusolvantaw"
sleep 0.5
mode=$(displayMode)
endWithKey
[ "$mode" = "window" ] || fail "the installed kusolvantaw opened in $mode"
note "ok"
