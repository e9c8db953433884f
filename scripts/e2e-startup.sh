#!/bin/bash
# Measures the demo's start-up split and drawn frame rate under Xvfb with an LD_PRELOAD probe.
# Usage: scripts/e2e-startup.sh BUILD_DIR [SECONDS]   (SECONDS: how long to let it draw; default 10,
# "full" for the whole run to its own end). Real-time dummy audio, windowed.
set -eu
build=$1 seconds=${2:-10}
probe=$build/tests/e2e/libstartup-probe.so
demo=$build/src/driver/kusolvanta
[ -f "$probe" ] || { echo "build the startup-probe target first" >&2; exit 1; }
here=$(cd "$(dirname "$0")/.." && pwd)
log=$(mktemp)
run() {
    launch=$(date +%s.%N)
    if [ "$seconds" = full ]; then
        SDL_AUDIODRIVER=dummy LD_PRELOAD=$probe "$demo" -w 2>"$log" || true
    else
        SDL_AUDIODRIVER=dummy LD_PRELOAD=$probe timeout -s INT "$seconds" "$demo" -w 2>"$log" || true
    fi
    python3 - "$launch" "$log" <<'PY'
import sys
launch = float(sys.argv[1]) * 1000
t = {}
swaps = None
for line in open(sys.argv[2]):
    p = line.split()
    if p[:1] == ["probe"] and p[1] == "swaps":
        swaps, span = int(p[2]), float(p[4])
    elif p[:1] == ["probe"] and p[1] not in t:
        t[p[1]] = float(p[2])
own = (t["SDL_SetVideoMode>"] - t["SDL_OpenAudio<"]) + (t["SDL_PauseAudio>"] - t["SDL_ShowCursor<"])
total = t["SDL_GL_SwapBuffers>"] - launch
print(f"start to first drawn frame {total:7.1f} ms: own set-up {own:5.2f} ms "
      f"(initSynth+parseSong {t['SDL_SetVideoMode>'] - t['SDL_OpenAudio<']:.2f}, "
      f"setupTextures {t['SDL_PauseAudio>'] - t['SDL_ShowCursor<']:.2f}), rest {total - own:7.1f} ms "
      f"(exec..SDL_Init {t['SDL_Init>'] - launch:.1f}, SDL_Init {t['SDL_Init<'] - t['SDL_Init>']:.1f}, "
      f"SDL_OpenAudio {t['SDL_OpenAudio<'] - t['SDL_OpenAudio>']:.1f}, "
      f"SDL_SetVideoMode {t['SDL_SetVideoMode<'] - t['SDL_SetVideoMode>']:.1f}, "
      f"unpause..first swap {t['SDL_GL_SwapBuffers>'] - t['SDL_PauseAudio>']:.1f})")
if swaps:
    print(f"drawn frames {swaps} over {span / 1000:.1f} s: {swaps / (span / 1000):.1f} fps")
PY
}
"$here/tests/e2e/with-xvfb.sh" bash -c "$(declare -f run); seconds=$seconds probe=$probe demo=$demo log=$log; run"
rm -f "$log"
