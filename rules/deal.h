#pragma once
// The deal and the announcing of rank and suit.

#include "game/game.h"

namespace kolbet {

// Deals both hands after a two-second pause, flips the rank announcer and puts
// the table into the first phase of the hand. In a network game only the host
// deals, and it tells the guest its phase and sends the new table.
void Geben(TGame& game);

// Single game: the player names the rank of the card in `slot`; the computer
// names the suit at once and the player leads.
void PlayerNamesRank(TGame& game, int slot);

// Single game: the player names the suit of the card in `slot` to the rank the
// computer named at the deal; the computer leads the first trick.
void PlayerNamesSuit(TGame& game, int slot);

}  // namespace kolbet
