#pragma once
// The phase machine: what a press on a hand slot means in each phase, the start
// of a single game and the way back to the menu.

#include <string_view>

#include "game/game.h"

namespace kolbet {

// The prompt shown at the top right in a phase; empty where nobody is prompted.
std::string_view PhasePrompt(int phase);

// Whether the first-trick rule refuses the card in `slot` now: the player
// answers the announced card led to the first trick and the card is no trump
// (while the player holds one). A refused press changes nothing.
bool FirstTrickRuleRefuses(const TGame& game, int slot);

// A press on the table with the hand slot under the pointer (-1 for none): the
// player's move for the current phase, then the end-of-hand check.
void OnTablePress(TGame& game, int slot);

// The menu's "Nei's Spuell": a fresh single game against the computer.
void StartSingleGame(TGame& game);

// The game bar's "Zruck": abandons the hand and returns to the title; an open
// session is closed.
void BackToMenu(TGame& game);

}  // namespace kolbet
