#pragma once
// The end of a hand: after the fifth trick the seat with more tricks gets the
// point and the next hand is dealt.

#include "game/game.h"

namespace kolbet {

// Called after every press and every received message; does nothing unless
// the fifth trick has just been decided. Only a single game or the host of a
// network game ends hands.
void SchauObFirti(TGame& game);

}  // namespace kolbet
