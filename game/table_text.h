#pragma once
// The table told in words, line by line, for a screen reader: what a sighted
// player sees of the scene, and where the key selection is. The opponent's
// cards are only counted, never named.

#include <string>
#include <vector>

#include "game/table_state.h"

namespace kolbet {

// The lines for `table` with the key selection on `shownSlot` (-1: none): the
// prompt, the trick, the announced card, the selection, the own hand by slot
// number (1 to 5, the digit keys), then both seats' tricks and points. The
// title has no lines, the waiting screen its one text.
std::vector<std::string> TableLines(const TTable& table, int shownSlot);

}  // namespace kolbet
