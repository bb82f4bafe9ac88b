#pragma once
// The game's half of the pointer handlers: what a move over the drawing surface
// and a press on it mean. The window applies the cursor and the hint returned
// here, and for a press on the title corner leaves full screen and opens the
// maker's page.

#include <string>

#include "game/game.h"

namespace kolbet {

// What the drawing surface shows after a pointer move.
struct TPointerLook {
  bool HandPointer = false;      // the hand pointer; otherwise the table cursor
  bool HintShown = false;        // the card-name hint is switched on
  bool HintTextChanged = false;  // the hint text is to become `HintText`
  std::string HintText;
};

// A pointer move to (x, y). Over a card the first move sets the card's name as
// the hint with the hint hidden, the next move inside the same card shows it.
// Updates `HoverSlot`.
TPointerLook PointerMoved(TTable& table, int x, int y);

// Whether the card under a resting pointer changed (dealt again, played, or
// the table left) so that the hint names a card no longer there. It then
// forgets the slot; the next move names the card that lies there now.
bool HintOutdated(TTable& table);

// A press with any button at (x, y). On the title it only asks for a redraw and
// returns whether the press lay in the title corner; in every other phase it
// hands the hand slot under the pointer to OnTablePress and returns false.
bool PointerPressed(TGame& game, int x, int y);

}  // namespace kolbet
