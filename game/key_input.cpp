#include "game/key_input.h"

#include "game/pacing.h"
#include "game/phase_machine.h"
#include "rules/cards.h"

namespace kolbet {

bool TableTakesKeys(int phase) { return phase != PhaseTitle && phase != PhaseWaitPeer; }

int SlotOfPlace(const std::array<std::int32_t, 5>& hand, int place) {
  for (int slot = 0; slot < static_cast<int>(hand.size()); ++slot)
    if (hand[slot] != NoCard && place-- == 0) return slot;
  return -1;
}

int PlaceOfSlot(const std::array<std::int32_t, 5>& hand, int slot) {
  if (slot < 0 || slot >= static_cast<int>(hand.size()) || hand[slot] == NoCard) return -1;
  int place = 0;
  for (int before = 0; before < slot; ++before) place += hand[before] != NoCard ? 1 : 0;
  return place;
}

int StepSlot(const std::array<std::int32_t, 5>& hand, int from, int step) {
  const int n = static_cast<int>(hand.size());
  int at = from < 0 || from >= n ? (step > 0 ? -1 : n) : from;
  for (int i = 0; i < n; ++i) {
    at = ((at + step) % n + n) % n;
    if (hand[at] != NoCard) return at;
  }
  return -1;
}

int ShownSlot(const TTable& table, const TKeySelection& selection) {
  if (!TableTakesKeys(table.Phase) || selection.Slot < 0 || selection.Slot > 4) return -1;
  return table.PlayerSeat.Hand[selection.Slot] != NoCard ? selection.Slot : -1;
}

namespace {

void Select(TGame& game, TKeySelection& selection, int slot) {
  if (slot < 0) return;
  selection.Slot = slot;
  game.Table.NeedsRedraw = true;
  if (!game.Sound) return;
  if (selection.Spoken >= 0) game.Sound->StopSound(selection.Spoken);
  selection.Spoken = game.Table.PlayerSeat.Hand[slot];
  PlaySound(game, selection.Spoken, false);
}

}  // namespace

bool TableKeyPressed(TGame& game, TKeySelection& selection, TTableKey key) {
  TTable& t = game.Table;
  if (!TableTakesKeys(t.Phase)) return false;
  const auto& hand = t.PlayerSeat.Hand;
  switch (key) {
    case TTableKey::Previous:
    case TTableKey::Next:
      Select(game, selection, StepSlot(hand, selection.Slot, key == TTableKey::Next ? 1 : -1));
      return true;
    case TTableKey::Play:
      t.NeedsRedraw = true;
      OnTablePress(game, ShownSlot(t, selection));
      return true;
    default:
      Select(game, selection, SlotOfPlace(hand, static_cast<int>(key) - static_cast<int>(TTableKey::Card1)));
      return true;
  }
}

void DropSelection(TKeySelection& selection) { selection.Slot = -1; }

TCardPlace HandCardPlace(int slot, int pictureWidth, int pictureHeight) {
  return {150 + 40 * slot, 400, (3 * pictureWidth) / 4, (3 * pictureHeight) / 4, 10 * slot - 20};
}

}  // namespace kolbet
