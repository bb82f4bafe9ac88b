#pragma once
// The computer player of a single game. It sees only its own hand, the card led
// to it, the announced card and the first-trick option. Every card choice looks
// for the lowest-valued allowed card in slot order, but takes each better
// candidate only when the skill test accepts it.

#include <array>
#include <cstdint>

#include "game/game.h"

namespace kolbet {

// Draws a number (below skill 4) and says whether a better candidate is taken.
bool SkillAccepts(TGame& game);

// The rank the computer names: the most frequent rank of its hand, lowest on a tie.
int ChooseRank(TGame& game, const std::array<std::int32_t, 5>& hand);

// The suit the computer names: the suit with the greatest weight, lowest on a tie.
int ChooseSuit(TGame& game, const std::array<std::int32_t, 5>& hand);

// Each of these moves one card from the seat's hand to its trick card.
void ChooseLead(TGame& game, TSeat& seat);
void ChooseAnswer(TGame& game, TSeat& seat, int led);
// The answer to the announced card led to the first trick under the first-trick rule.
void ChooseTrumpAnswer(TGame& game, TSeat& seat, int led);

}  // namespace kolbet
