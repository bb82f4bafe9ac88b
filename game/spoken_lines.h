#pragma once
// The lines the table shows for what was only spoken, so that a player who
// does not hear it, or did not catch it, still sees it.

#include <string>
#include <string_view>

#include "game/game.h"
#include "rules/cards.h"

namespace kolbet {

// The rank the other side named, spelt as in the card names, until the suit is named.
inline std::string RankLine(int rank) { return "Schloch: " + std::string(RankNames[rank]); }

// Whose hand it was, shown through the pauses at the hand's end.
inline std::string_view HandResultLine(bool playerWon) {
  return playerWon ? "Des Spuell ghert dir" : "Des Spuell ghert am Ondern";
}

// A network game while the other player is to move.
inline constexpr std::string_view WaitingLine = "Da Ondre is dro";

inline void ShowLine(TGame& game, std::string_view line) {
  if (game.Line) game.Line(line);
}

}  // namespace kolbet
