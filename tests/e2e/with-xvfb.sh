#!/bin/bash
# Runs a command against a private Xvfb screen (1024x768x24, GLX on Mesa) and stops the server after.
# Xvfb picks a free display itself (-displayfd), so runs side by side, or right after one another
# while an old server is still going down, never meet the wrong server.
set -u
displayFile=$(mktemp)
trap 'rm -f "$displayFile"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayFile" 2>"$displayFile.log" &
server=$!
for i in $(seq 1 200); do
    [ -s "$displayFile" ] && break
    kill -0 "$server" 2>/dev/null || { cat "$displayFile.log" >&2; echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
[ -s "$displayFile" ] || { echo "with-xvfb: Xvfb gave no display number" >&2; kill "$server"; exit 1; }
export DISPLAY=:$(head -n1 "$displayFile")
unset XAUTHORITY
status=0
"$@" || status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -f "$displayFile.log"
exit "$status"
