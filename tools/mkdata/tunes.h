#pragma once
// The tunes of the generated music, written for this game.

#include "tools/mkdata/music.h"

namespace kolbet::mkdata {

Tune Landler();         // in G, 32 bars, leisurely
Tune Wirtshauswalzer(); // in C, 32 bars, a brisker waltz
Tune LandlerLoop();     // the Ländler's first 16 bars, for the bank's music item

}  // namespace kolbet::mkdata
