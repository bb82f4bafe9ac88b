#pragma once
// Playing at the table with the keys: a selection over the player's own hand
// slots that the arrow and digit keys move, and a key that plays the selected
// card exactly as a press on its slot would. Plain data and free functions; the
// window maps its key codes to `TTableKey` and draws the selection.

#include <array>
#include <cstdint>

#include "game/game.h"

namespace kolbet {

enum class TTableKey {
  Previous,  // Left: the previous slot that holds a card, wrapping around
  Next,      // Right: the next slot that holds a card, wrapping around
  Card1,     // 1 to 5: the 1st to 5th card as they lie from the left now
  Card2,
  Card3,
  Card4,
  Card5,
  Play,  // Return, Enter, Space: the selected card, as a press on its slot
};

struct TKeySelection {
  int Slot = -1;    // the selected hand slot; -1 until a key selects one
  int Spoken = -1;  // the sound item last spoken for the selection, cut off by the next one
};

// The slot of the card in `place` (0 for the leftmost) among the cards the
// hand still holds, -1 when it holds fewer; and the place of the card in
// `slot`, -1 for an empty slot. The digit keys and the screen reader count
// the cards this way, so that "1" is always the leftmost card.
int SlotOfPlace(const std::array<std::int32_t, 5>& hand, int place);
int PlaceOfSlot(const std::array<std::int32_t, 5>& hand, int slot);

// Whether the table takes keys in this phase: every phase but the title and
// the waiting screen.
bool TableTakesKeys(int phase);

// The slot `step` (+1 or -1) away from `from` that holds a card, wrapping
// around; from -1 the first (step +1) or the last (step -1) such slot. -1 when
// the hand is empty.
int StepSlot(const std::array<std::int32_t, 5>& hand, int from, int step);

// The slot the selection shows on: its slot while that holds a card in a
// phase that takes keys, else -1. Nothing shows before a key selected a slot.
int ShownSlot(const TTable& table, const TKeySelection& selection);

// Applies a key at the table. A key that moves the selection speaks the newly
// selected card's name (its own sound item, not waited for) after cutting off
// the name spoken before; Play hands the selected slot to OnTablePress, so
// every rule, sound and pause is that of a press on it (with no card selected
// it is a press beside the cards). Returns whether the key was taken.
bool TableKeyPressed(TGame& game, TKeySelection& selection, TTableKey key);

// The pointer was used: the selection goes and nothing more is spoken for it.
void DropSelection(TKeySelection& selection);

// Where the table scene puts the card of a hand slot: the centre, the size for
// a card picture of w × h pixels, and the angle in 256ths of a turn.
struct TCardPlace {
  int X = 0, Y = 0, Width = 0, Height = 0, Angle = 0;
};
TCardPlace HandCardPlace(int slot, int pictureWidth, int pictureHeight);

}  // namespace kolbet
