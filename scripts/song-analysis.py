#!/usr/bin/env python3
"""Measures a render of the song the way the visuals see it: the level meter, per scene.

Usage: scripts/song-analysis.py SONG.wav
  (make one with: kusolvanta-render --song data/song.txt --output SONG.wav)

The meter is the demo's: per buffer of 1024 frames, peak = max |sample| / 32768 over both
channels, level = 0.85 * level + 0.15 * peak. A buffer is counted at the timeline position that
the demo shows just after it: (frames mixed - 4096) / 5292 / 8. Spirals are ceil(4 * level);
the chain's links turn by level * 550 degrees. Samples at +-32766 are the mixer's clip.
"""
import array
import math
import sys
import wave

BUFFER = 1024
# First timeline position of each scene, what it shows, and the section of the song under it.
SCENES = [
    (0, "sphere", "intro"), (7, "sphere", "intro, fill"), (16, "title+spirals", "entry"),
    (20, "title+spirals", "entry"), (24, "title+chain", "theme"), (36, "chain", "break"),
    (38, "spirals+chain", "drive"), (56, "chain", "turn"), (64, "chain", "calm"),
    (80, "title+sphere", "rise"), (96, "title+sphere", "answer: call"),
    (98, "sphere+spirals", "answer: response"), (100, "title+sphere", "call"),
    (102, "sphere+spirals", "response"), (104, "title+sphere", "call"),
    (106, "sphere+spirals", "response"), (108, "title+sphere", "call"),
    (110, "sphere+spirals", "response"), (112, "sphere", "build"), (120, "sphere, glow 11", "burst"),
    (132, "none", "end"), (136, "(demo over)", "-"),
]


def read(path):
    with wave.open(path, "rb") as w:
        assert w.getnchannels() == 2 and w.getsampwidth() == 2, "need 16-bit stereo"
        data = array.array("h")
        data.frombytes(w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        data.byteswap()
    return data


def scene_of(pos):
    index = 0
    for i, (start, _, _) in enumerate(SCENES):
        if pos >= start:
            index = i
    return index


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    data = read(sys.argv[1])
    level = 0.0
    stats = [{"levels": [], "clips": 0, "samples": 0, "sq": 0.0} for _ in SCENES]
    for k in range(len(data) // (2 * BUFFER)):
        chunk = data[k * 2 * BUFFER:(k + 1) * 2 * BUFFER]
        peak = max(max(chunk), -min(chunk)) / 32768.0
        level = 0.85 * level + 0.15 * peak
        pos = max(0, ((k + 1) * BUFFER - 4096) // 5292) // 8
        st = stats[scene_of(pos)]
        st["levels"].append(level)
        st["clips"] += sum(1 for s in chunk if s == 32766 or s == -32766)
        st["samples"] += len(chunk)
        st["sq"] += sum(s * s for s in chunk)
    print("%-9s %-16s %-17s %5s %5s %5s %8s %7s %6s" % (
        "positions", "scene", "music", "min", "mean", "max", "spirals", "clip%", "rms"))
    total_clips = total_samples = 0
    for i, (start, scene, music) in enumerate(SCENES):
        st = stats[i]
        if not st["levels"]:
            continue
        end = SCENES[i + 1][0] if i + 1 < len(SCENES) else start
        lv = st["levels"]
        spirals = sum(min(4, math.ceil(4 * x)) for x in lv) / len(lv)
        print("%3d-%-5d %-16s %-17s %5.2f %5.2f %5.2f %8.2f %7.3f %6.3f" % (
            start, end, scene, music, min(lv), sum(lv) / len(lv), max(lv), spirals,
            100.0 * st["clips"] / st["samples"], math.sqrt(st["sq"] / st["samples"]) / 32768))
        if start < 136:
            total_clips += st["clips"]
            total_samples += st["samples"]
    print("clipped samples before position 136: %d of %d (%.3f%%)" % (
        total_clips, total_samples, 100.0 * total_clips / max(1, total_samples)))


if __name__ == "__main__":
    main()
