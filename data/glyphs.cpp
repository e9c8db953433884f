// The title lettering: a 4x5 dot font for the letters of "Ku Solvanta" and the order they stand on the ring.
#include "visuals.h"

// Glyph i is the 20 characters from 20*i: five rows of four cells, top row first, each row left to
// right. Any character but ' ' is a lit cell. Lower-case letters use the bottom four rows.
const char glyphFont[] =
    // 0: K
    "1  1"
    "1 1 "
    "11  "
    "1 1 "
    "1  1"
    // 1: u
    "    "
    "1  1"
    "1  1"
    "1  1"
    " 111"
    // 2: S
    " 111"
    "1   "
    " 11 "
    "   1"
    "111 "
    // 3: o
    "    "
    " 11 "
    "1  1"
    "1  1"
    " 11 "
    // 4: l
    "11  "
    " 1  "
    " 1  "
    " 1  "
    " 11 "
    // 5: v (narrowing, unlike the u's open bowl)
    "    "
    "1  1"
    "1  1"
    " 11 "
    " 11 "
    // 6: a
    "    "
    " 111"
    "1  1"
    "1  1"
    " 111"
    // 7: n
    "    "
    "111 "
    "1  1"
    "1  1"
    "1  1"
    // 8: t
    " 1  "
    "111 "
    " 1  "
    " 1  "
    "  11"
    // 9: blank (the space, and the twelfth position that closes the ring)
    "    "
    "    "
    "    "
    "    "
    "    ";

// "Ku Solvanta" one glyph per 30-degree step, then a blank to fill the twelfth step.
const int8_t titleGlyphs[12] = {0, 1, 9, 2, 3, 4, 5, 6, 7, 8, 6, 9};
