#!/usr/bin/env python3
"""Writes data/song.txt, the demo's song, from the patterns and the arrangement below.

The song is in A minor at 125 bpm: a row is a sixteenth (0.12 s), a 16-row pattern one bar.
Harmony runs in two-bar cycles of two patterns per voice: "X" is Am|F (a bar of two halves),
"Y" is C|G, so X Y X Y ... is Am F C G. Sections follow the scene timeline, which counts in
half bars (its position 16 is bar 8); tracks 4, 6 and 7 end exactly when the demo does (bar 68),
the others rest on pattern 14 until their loop.

Usage: scripts/compose-song.py [OUTPUT]   (default: data/song.txt next to this script)
The output is checked against the song's fixed shape (size, counts, row totals) before writing.
"""
import os
import sys

HEADER = [
    "bpm:125",
    "i1:sini,2,16,1,4000,0,-60",       # kick: pitch-falling sine
    "i2:saha,2,6,1,2000,0,0",          # bass: short dry saw
    "i3:kohina,2,10,1,5100,0,25",      # snare: noise, brightening
    "i4:saha,2,5,1,4000,0,0",          # arpeggio: saw pluck
    "i5:saha,2,4,1,4000,0,2",          # doubling pluck, bends up a little
    "i6:saha,2,4,1,16000,0,0",         # saw pad
    "i7:saha,2,5,1,23000,2,0",         # lead: long saw with tremolo
    "i8:kantti,2,4,1,3000,500000,-5",  # bell: ring-modulated square
    "i9:sini,2,7,1,44100,2,0",         # sine pad with tremolo
    "i10:kohina,2,5,1,8100,0,-1",      # hats
]

# Pattern rows; "00" is an empty row. Numbers 1, 2, 14 and the 8-row slots 13, 15, 17, 18 are fixed
# by the format's conventions; 11 and 16 are sketches kept for later and not played.
PATTERNS = {
    1: "0",
    2: "echo1",
    3: "e3,00,00,00,e3,00,00,00,e3,00,00,00,e3,00,00,e3",            # kick, four to the floor
    4: "00,00,00,00,d4,00,00,00,00,00,00,00,d4,00,00,a4",            # snare on 2 and 4
    5: "c6,c6,e5,c6,c6,c6,e5,c6,c6,c6,e5,c6,c6,c6,e5,a5",            # hats, open on the off-beats
    6: "a1,00,a2,a1,00,a1,a2,e2,f1,00,f2,f1,00,f1,f2,c2",            # bass X: Am | F
    7: "c2,00,c3,c2,00,c2,c3,g2,g1,00,g2,g1,00,g1,g2,d2",            # bass Y: C | G
    8: "a4,e5,c5,e5,a5,e5,c5,e5,a4,f5,c5,f5,a5,f5,c5,f5",            # arpeggio X
    9: "g4,e5,c5,e5,g5,e5,c5,e5,g4,d5,b4,d5,g5,d5,b4,d5",            # arpeggio Y
    10: "a3,00,00,00,e4,00,00,00,f3,00,00,00,c4,00,00,00",           # pad X
    11: "a4,c5,e5,a5,c5,e5,a5,c6,f4,a4,c5,f5,a4,c5,f5,a5",           # sketch: wider arpeggio X
    12: "c4,00,00,00,g4,00,00,00,g3,00,00,00,d4,00,00,00",           # pad Y
    13: "d4,d4,e4,e4,g4,g4,a4,c5",                                   # snare roll, half a bar
    14: ",".join(["00"] * 16),                                        # a bar's rest
    15: "00,00,00,00,d4,00,00,00",                                   # snare, first half of a fill bar
    16: "a1,a2,a1,a2,e2,a2,a1,e2,f1,f2,f1,f2,c2,f2,f1,c2",           # sketch: busier bass X
    17: "a2,00,00,00,00,00,00,00",                                   # one tonic hit (breaks, ending)
    18: "e3,00,d3,d3,c3,c3,a2,a2",                                   # toms on the kick, into a section
    19: "e5, 00,a4,c5,e5,00,d5,e5,f5,00,e5,c5,a4,00,00,c5",          # lead, bar 1 (X)
    20: "e5,00,g5,e5,c5,00,d5,e5,d5,00,b4,g4,b4,00,00,d5",           # lead, bar 2 (Y)
    21: "g5,00,e5,c5,e5,00,g5,0,g5,00,d5,b4,b4,00,d5,00",            # lead, bar 4 (Y), high
    22: "a2,c6,e5,c6,c6,c6,e5,c6,c6,c6,e5,c6,c6,c6,e5,a5",           # hats with a crash on the one
    23: "a5,00,c6,b5,a5,00,e5,a5,f5,00,a5,c6,a5,00,00,g5",           # lead, bar 3 (X), high
}
EIGHT_ROW = {13, 15, 17, 18}


def rows(p):
    return len(PATTERNS[p].split(","))


# ---- arrangement -------------------------------------------------------------------------------
# Sections in bars (timeline position = 2 x bar). Each track gives, per section, a list of entries.
SECTIONS = [  # name, first bar, bars
    ("intro", 0, 8),      # pos 0-16: ring sphere; pos 7 (bar 3.5) the first fill
    ("entry", 8, 4),      # pos 16-24: title and spirals appear: the groove starts
    ("theme", 12, 6),     # pos 24-36: title and chain
    ("break", 18, 1),     # pos 36-38: chain alone, stop-time hits
    ("drive", 19, 9),     # pos 38-56: spirals and chain
    ("turn", 28, 4),      # pos 56-64: chain
    ("calm", 32, 8),      # pos 64-80: chain with long trails: breakdown
    ("rise", 40, 8),      # pos 80-96: title and sphere: rebuild
    ("answer", 48, 8),    # pos 96-112: title / spirals bar by bar: call and response
    ("build", 56, 4),     # pos 112-120: sphere alone: build-up
    ("burst", 60, 6),     # pos 120-132: the glow bursts: climax
    ("end", 66, 2),       # pos 132-136: last hits ringing out
]

R = 14          # a bar's rest
HIT = [17, 17]  # two tonic hits, a half bar apart


def harm(seq, x, y):
    """One pattern per bar from a harmony string of X (Am|F) and Y (C|G)."""
    return [x if c == "X" else y for c in seq]


def lead(seq):
    """The four-bar tune: bars 1 and 2 low, 3 and 4 an octave-ish higher."""
    return [{"a": 19, "b": 20, "c": 23, "d": 21}[c] for c in seq]


def rest(n):
    return [R] * n


ARR = {
    1: {  # kick
        "intro": [1] + rest(7) + [17, 18],
        "entry": [3] * 4, "theme": [3] * 6, "break": HIT, "drive": [3] * 9, "turn": [3] * 4,
        "calm": rest(8), "rise": rest(4) + [3] * 4,
        "answer": [R, 3] * 4, "build": [3] * 4, "burst": [3] * 6, "end": HIT + [R],
        "tail": rest(13),
    },
    2: {  # bass
        "intro": [1] + rest(8),
        "entry": harm("XYXY", 6, 7), "theme": harm("XYXYXY", 6, 7), "break": HIT,
        "drive": harm("YXYXYXYXY", 6, 7), "turn": harm("XYXY", 6, 7),
        "calm": rest(4) + harm("XYXY", 6, 7), "rise": harm("XYXYXYXY", 6, 7),
        "answer": (HIT + [7]) * 4, "build": rest(4), "burst": harm("XYXYXY", 6, 7),
        "end": HIT + [R], "tail": rest(5),
    },
    3: {  # snare
        "intro": [1] + rest(3) + [15, 13] + rest(3) + [15, 13],
        "entry": [4] * 4, "theme": [4] * 5 + [15, 13], "break": HIT, "drive": [4] * 8 + [15, 13],
        "turn": [4] * 3 + [15, 13], "calm": rest(7) + [15, 13], "rise": rest(4) + [4] * 3 + [15, 13],
        "answer": [R, 4] * 4, "build": [4, 4, 15, 13, 13, 13], "burst": [4] * 5 + [15, 13],
        "end": HIT + [R], "tail": rest(6),
    },
    4: {  # arpeggio
        "intro": [2] + rest(4) + harm("XYXY", 8, 9),
        "entry": harm("XYXY", 8, 9), "theme": harm("XYXYXY", 8, 9), "break": HIT,
        "drive": harm("YXYXYXYXY", 8, 9), "turn": harm("XYXY", 8, 9),
        "calm": rest(4) + harm("XYXY", 8, 9), "rise": harm("XYXYXYXY", 8, 9),
        "answer": [R, 9] * 4, "build": harm("XYXY", 8, 9), "burst": harm("XYXYXY", 8, 9),
        "end": HIT + [R], "tail": [],
    },
    5: {  # doubling pluck: the arpeggio in the theme, the tune elsewhere
        "intro": [2] + rest(8),
        "entry": lead("abcd"), "theme": harm("XYXYXY", 8, 9), "break": HIT,
        "drive": lead("b") + lead("abcd") * 2, "turn": lead("abcd"),
        "calm": rest(8), "rise": rest(4) + lead("abcd"),
        "answer": lead("abcbadcd"), "build": rest(4), "burst": lead("abcdcd"),
        "end": HIT + [R], "tail": rest(1),
    },
    6: {  # saw pad
        "intro": [2] + rest(8),
        "entry": harm("XYXY", 10, 12), "theme": harm("XYXYXY", 10, 12), "break": HIT,
        "drive": harm("YXYXYXYXY", 10, 12), "turn": harm("XYXY", 10, 12),
        "calm": rest(8), "rise": harm("XYXYXYXY", 10, 12),
        "answer": harm("XYXYXYXY", 10, 12), "build": harm("XYXY", 10, 12),
        "burst": harm("XYXYXY", 10, 12), "end": HIT + [R], "tail": [],
    },
    7: {  # lead
        "intro": [2] + rest(8),
        "entry": lead("abcd"), "theme": lead("ababab"), "break": rest(1),
        "drive": lead("d") + lead("abcd") * 2, "turn": lead("abcd"),
        "calm": lead("abab") + lead("abcd"), "rise": lead("abcdabcd"),
        "answer": lead("abcbadcd"), "build": rest(4), "burst": lead("abcdcd"),
        "end": HIT + [R], "tail": [],
    },
    8: {  # bell
        "intro": [2] + harm("XYXYXYXY", 8, 9),
        "entry": rest(4), "theme": rest(6), "break": HIT, "drive": rest(9), "turn": rest(4),
        "calm": harm("XYXYXYXY", 8, 9), "rise": rest(8), "answer": rest(8),
        "build": harm("XYXY", 8, 9), "burst": harm("XYXYXY", 8, 9), "end": HIT + [R],
        "tail": rest(11),
    },
    9: {  # sine pad
        "intro": [2] + harm("XYXYXYXY", 10, 12),
        "entry": harm("XYXY", 10, 12), "theme": rest(6), "break": HIT,
        "drive": harm("YXYXYXYXY", 10, 12), "turn": harm("XYXY", 10, 12),
        "calm": harm("XYXYXYXY", 10, 12), "rise": harm("XYXYXYXY", 10, 12),
        "answer": [R, 12] * 4, "build": harm("XYXY", 10, 12),
        "burst": harm("XYXYXY", 10, 12), "end": HIT + [R], "tail": rest(12),
    },
    10: {  # hats (whole bars only)
        "intro": [2] + rest(4) + [5] * 4,
        "entry": [22] + [5] * 3, "theme": [5] * 6, "break": rest(1), "drive": [22] + [5] * 8,
        "turn": [5] * 4, "calm": rest(4) + [5] * 4, "rise": [22] + [5] * 7,
        "answer": [R, 5] * 4, "build": [5] * 4, "burst": [22] + [5] * 5, "end": rest(2),
        "tail": rest(5),
    },
}

# Rows each track lasts before its loop, and the size of the whole text: fixed by the song's shape.
TRACK_ROWS = {1: 1297, 2: 1169, 3: 1185, 4: 1089, 5: 1105, 6: 1089, 7: 1089, 8: 1265, 9: 1281, 10: 1169}
TEXT_SIZE = 4468
BARS = 68
MAX_RUN = 12  # longest run of alignment blanks


def entries(t):
    return [p for name in [s[0] for s in SECTIONS] + ["tail"] for p in ARR[t][name]]


def check_timing():
    for t in ARR:
        total = sum(rows(p) for p in entries(t))
        assert total == TRACK_ROWS[t], "track %d lasts %d rows, not %d" % (t, total, TRACK_ROWS[t])
        row = 0
        for name, bar, bars in SECTIONS:
            want = 0 if bar == 0 else 1 + bar * 16  # every track opens with a one-row pattern
            assert row == want, "track %d: section %s starts at row %d, not %d" % (t, name, row, want)
            row += sum(rows(p) for p in ARR[t][name])


def bar_cells(t):
    """The track's entries as text, one cell per bar (bar 0 holds the one-row opening), then the rest."""
    cells, cur, row = [], "", 0
    for p in entries(t):
        cur += "p%d," % p
        row += rows(p)
        if len(cells) < BARS and row > 1 and (row - 1) % 16 == 0:
            cells.append(cur)
            cur = ""
    return cells, cur + "loop"


def plan_columns(cells, blanks):
    """Chooses the bars at which all track lines are aligned, using exactly `blanks` padding blanks.

    Section starts are preferred; a column's widest cell sets its width, and the blanks left over
    widen columns by one (ten blanks each), so the total must come out a multiple of ten."""
    tracks = sorted(cells)
    prefix = {t: [0] for t in tracks}
    for t in tracks:
        for cell in cells[t]:
            prefix[t].append(prefix[t][-1] + len(cell))
    weight = {bar: 10 for name, bar, bars in SECTIONS}
    best = {(0, 0): (0, None)}
    for b in range(1, BARS):
        for (a, used), (score, _) in sorted(best.items()):
            if a >= b:
                continue
            lens = [prefix[t][b] - prefix[t][a] for t in tracks]
            pads = [max(lens) - n for n in lens]
            if max(pads) > MAX_RUN or used + sum(pads) > blanks:
                continue
            key, value = (b, used + sum(pads)), score + weight.get(b, -1)
            if key not in best or best[key][0] < value:
                best[key] = (value, (a, used))
    done = [(v[0], k) for k, v in best.items() if (blanks - k[1]) % 10 == 0]
    assert done, "no column layout uses exactly %d blanks" % blanks
    key = max(done)[1]
    widen = (blanks - key[1]) // 10
    bars = []
    while key[0] > 0:
        bars.append(key[0])
        key = best[key][1]
    return sorted(bars), widen


def build():
    check_timing()
    lines = list(HEADER) + ["p%d:%s" % (p, PATTERNS[p]) for p in range(1, 24)]
    cells = {t: bar_cells(t) for t in ARR}
    heads = {t: ("t%d:" % t).ljust(4) for t in ARR}  # "t1: " stands over "t10:"
    bare = sum(len(l) + 1 for l in lines) + sum(len(heads[t]) + len("".join(c[0])) + len(c[1]) + 1
                                                for t, c in cells.items())
    bars, widen = plan_columns({t: c[0] for t, c in cells.items()}, TEXT_SIZE - bare)
    edges = [0] + bars + [BARS]
    columns = []
    for i in range(len(edges) - 1):
        texts = {t: "".join(cells[t][0][edges[i]:edges[i + 1]]) for t in ARR}
        columns.append([texts, max(len(x) for x in texts.values()), i < len(edges) - 2])
    while widen:  # spread the spare blanks over the columns, one per column and pass
        room = [col for col in columns if col[2] and col[1] - min(len(x) for x in col[0].values()) < MAX_RUN]
        assert room, "too many blanks to place"
        for col in room[:widen]:
            col[1] += 1
        widen -= min(widen, len(room))
    track_lines = []
    for t in sorted(ARR):
        line = heads[t]
        for texts, width, aligned in columns:
            line += texts[t].ljust(width) if aligned else texts[t]
        track_lines.append(line + cells[t][1])
    # One blank of the padding stands before its comma: p14 , reads like p14, once blanks are gone.
    first = track_lines[0]
    at = first.index(", ") if ", " in first else None
    assert at is not None
    track_lines[0] = first[:at] + " ," + first[at + 2:]
    return "\n".join(lines + track_lines) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "song.txt")
    text = build()
    assert len(text) == TEXT_SIZE, "the song has %d characters, not %d" % (len(text), TEXT_SIZE)
    notes = [f for p in PATTERNS.values() for f in p.replace(" ", "").split(",") if f[0].isalpha() and f != "echo1"]
    assert all(f[0] in "abcdefg" for f in notes), "a note outside A minor (uppercase is a sharp)"
    empties = sum(PATTERNS[p].replace(" ", "").split(",").count("00") for p in PATTERNS)
    assert empties == 107, "%d empty rows written 00, not 107" % empties
    with open(out, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
