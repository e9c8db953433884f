#!/bin/sh
# Installs the Debian 12 packages that building, running and testing need, when any is missing.
#   scripts/deps.sh run    what building and running the demo needs
#   scripts/deps.sh test   that, plus what the tests need
set -eu
run="cmake g++ make pkg-config libsdl1.2-dev libgl-dev libgl1-mesa-dri xvfb xauth"
test="$run libgtest-dev libbenchmark-dev libx11-dev python3 xdotool imagemagick x11-utils desktop-file-utils sox ffmpeg dpkg-dev groff-base lintian"
case "${1:-test}" in
    run) wanted=$run ;;
    test) wanted=$test ;;
    *) echo "usage: scripts/deps.sh run|test" >&2; exit 2 ;;
esac
missing=""
for p in $wanted; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
