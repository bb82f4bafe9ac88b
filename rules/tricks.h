#pragma once
// Trick play of a single game between the player and the computer: leading,
// answering, the first-trick rule, and deciding each trick with its sounds and
// pauses.

#include "game/game.h"

namespace kolbet {

// A random curse of the computer: items 32 to 41 and 70 to 76, one in 17 each.
int RandomCurse(TGame& game);

// The first trick is the one played while neither seat has taken a trick.
bool IsFirstTrick(const TTable& table);

// Whether `card` is led to the first trick as the announced card under the
// first-trick rule of a single game.
bool FirstTrickRuleTriggered(const TGame& game, int card);

// Whether the player may answer with `card` in PhaseFollowTrump: any trump; and
// any card at all when the hand holds no trump, since the hand could not go on.
bool TrumpAnswerAllowed(const TGame& game, int card);

// The player leads the card of `slot`; the computer answers and the trick is decided.
void PlayerLeads(TGame& game, int slot);

// The player answers the computer's card with the card of `slot` (the caller
// has checked the first-trick rule); the trick is decided.
void PlayerAnswers(TGame& game, int slot);

// Right after the suit is named, the computer leads the first trick.
void ComputerLeadsFirstTrick(TGame& game);

}  // namespace kolbet
