// The scene timeline: which effects run at each song position, and how strong feedback and glow are.
#include "visuals.h"

// One row per scene, in order of `start` (strictly rising).
//   feedbackLevel  target of the feedback brightness, hundredths (95 -> 0.95)
//   glowLevel      glow intensity, tenths (11 -> 1.1; 110 -> 11.0, which saturates every layer)
//   glowStep       depth step between the 20 glow layers, hundredths (negative: layers shrink inward)
//   shapeParam     title ring tilt axis (low four bits), ring sphere distance (x 0.0625), chain tilt (x 45 deg)
//   effects        bits: 1 title ring, 2 ring sphere, 4 spiral lines, 8 chain
//   start          first song position (8 rows of 5292 audio frames each) at which the row is current
const SceneEntry sceneTable[sceneCount] = {
    // fb  glow  step  shape  effects  start
    {95,   11,   -2,     0,   2,         0},
    {99,   11,   -2,    80,   2,         7},
    {65,   21,  -15,     0,   5,        16},
    {95,   21,  -15,     0,   5,        20},
    {95,   11,    1,     0,   9,        24},
    {95,   11,    1,     0,   8,        36},
    {95,   11,    1,     0,  12,        38},
    {90,   11,    1,     0,   8,        56},
    {99,   10,   -4,     1,   8,        64},
    {92,   11,   -2,    33,   3,        80},
    {45,   11,   -2,    33,   3,        96},
    {80,   11,    1,     0,   6,        98},
    {90,   11,   -4,    65,   3,       100},
    {90,   11,    1,     0,   6,       102},
    {95,   11,   -4,    65,   3,       104},
    {95,   11,    1,     0,   6,       106},
    {95,   11,   -4,    65,   3,       108},
    {95,   11,    1,     0,   6,       110},
    {95,   11,    1,     0,   2,       112},
    {95,  110,   -5,   -32,   2,       120},
    {95,  110,   -5,   -32,   0,       132},
};
