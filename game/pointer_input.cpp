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
    look.HandPointer = InTitleCorner(x, y);
    return look;
  }

  const int slot = HitHandSlot(x, y, table.PlayerSeat.Hand);
  if (slot != -1) {
    look.HintShown = slot == table.HoverSlot;
    if (slot != table.HoverSlot) {
      look.HintTextChanged = true;
      look.HintText = CardName(table.PlayerSeat.Hand[slot]);
    }
    look.HandPointer = true;
  }
  table.HoverSlot = slot;
  return look;
}

bool PointerPressed(TGame& game, int x, int y) {
  game.Table.NeedsRedraw = true;
  if (game.Table.Phase == PhaseTitle) return InTitleCorner(x, y);
  OnTablePress(game, HitHandSlot(x, y, game.Table.PlayerSeat.Hand));
  return false;
}

}  // namespace kolbet
