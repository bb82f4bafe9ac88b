#include "game/pointer_input.h"

#include "game/hit_regions.h"
#include "game/phase_machine.h"
#include "rules/cards.h"

namespace kolbet {

TPointerLook PointerMoved(TTable& table, int x, int y) {
  TPointerLook look;
  if (table.Phase == PhaseTitle) {
    // No card lies on the title; a hint left over from the table is hidden.
    table.HoverSlot = -1;
    table.HoverCard = -1;
    look.HandPointer = InTitleCorner(x, y);
    return look;
  }

  const int slot = HitHandSlot(x, y, table.PlayerSeat.Hand);
  const std::int32_t card = slot != -1 ? table.PlayerSeat.Hand[slot] : -1;
  if (slot != -1) {
    // Another card in the same slot (a new deal) counts as a new card.
    const bool same = slot == table.HoverSlot && card == table.HoverCard;
    look.HintShown = same;
    if (!same) {
      look.HintTextChanged = true;
      look.HintText = CardName(card);
    }
    look.HandPointer = true;
  }
  table.HoverSlot = slot;
  table.HoverCard = card;
  return look;
}

bool HintOutdated(TTable& table) {
  if (table.HoverSlot == -1) return false;
  if (table.Phase != PhaseTitle && table.PlayerSeat.Hand[table.HoverSlot] == table.HoverCard) return false;
  table.HoverSlot = -1;
  table.HoverCard = -1;
  return true;
}

bool PointerPressed(TGame& game, int x, int y) {
  game.Table.NeedsRedraw = true;
  if (game.Table.Phase == PhaseTitle) return InTitleCorner(x, y);
  OnTablePress(game, HitHandSlot(x, y, game.Table.PlayerSeat.Hand));
  return false;
}

}  // namespace kolbet
