#pragma once
// What changed on the table between two moments the player saw, in short
// sentences for a screen reader: a player who cannot see the table hears each
// card put into a trick, who took the trick, whose hand it was with the
// points, the announced card, the line the table shows for what was spoken,
// and the prompt when it changes. Only words; the window decides when the
// player saw the table (a frame drawn inside a handler, or a handler's end).

#include <string>
#include <vector>

#include "game/table_state.h"

namespace kolbet {

// The table as the player saw it, with the spoken line shown on it.
struct TTableSight {
  TTable Table;
  std::string Line;
};

// The news from `before` to `after`, in the order a sighted player takes them
// in: the announced card, the cards put into the trick, the trick taken, the
// line, the points, then the prompt. Nothing on the title; the waiting screen
// tells its text once.
std::vector<std::string> TableNews(const TTableSight& before, const TTableSight& after);

// Said when the first-trick rule refuses a card: why nothing happened.
inline constexpr const char* RefusedCardWords = "Trumpf oder Narrisch: do muast an Trumpf gebn";

// The result of a search for sessions in the lobby, with the names found.
std::string SearchWords(const std::vector<std::string>& names);

}  // namespace kolbet
