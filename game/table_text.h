#pragma once
// The table told in words, line by line, for a screen reader: what a sighted
// player sees of the scene, and where the key selection is. The opponent's
// cards are only counted, never named.

#include <string>
#include <string_view>
#include <vector>

#include "game/table_state.h"

namespace kolbet {

// The lines for `table` with the key selection on `shownSlot` (-1: none): the
// prompt, the spoken line the table shows beneath it (`spoken`, empty for
// none), the trick, the announced card, the selection, the own hand numbered
// as the cards lie from the left (1 to 5, the digit keys), then both seats'
// tricks and points. The title has no lines, the waiting screen its one text.
std::vector<std::string> TableLines(const TTable& table, int shownSlot, std::string_view spoken = {});

// The card in `slot` with its number from the left, as the hand line and the
// digit keys count it: "2 Gria Sau". Empty for an empty slot.
std::string CardInHand(const TTable& table, int slot);

}  // namespace kolbet
