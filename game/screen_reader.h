#pragma once
// What the screen reader is told as the game goes on, beyond what has the
// focus: each time the player sees the table (a frame drawn inside a
// handler, or a handler's end) the accessible texts follow it and what
// changed is told; the selected card on every selection key while the
// game's own voice is silent; a refused card and why; every level change in
// the options panel; and the result of each search in the lobby. Only the
// screen reader hears these words; the screen and the sounds stay as they are.

#include <string>
#include <vector>

#include "assets/option_levels.h"
#include "game/table_news.h"

namespace kolbet {

class TMainForm;

class TScreenReader {
 public:
  explicit TScreenReader(TMainForm& form);

  // The player saw the table, with the key selection on `shownSlot` (-1: none).
  void TableSeen(int shownSlot);
  // A key selected the card in `shownSlot` (-1: none).
  void CardSelected(int shownSlot);
  // The first-trick rule refused the selected card.
  void CardRefused();
  // A level of the options panel was pressed, changed or not.
  void LevelPressed(TOptionRow row);
  // A search for sessions found `names`.
  void SearchDone(const std::vector<std::string>& names);

 private:
  // Whether the game's own voice is heard: a sound device, the sound bank
  // and a sound level above off.
  bool VoiceHeard() const;
  void Tell(const std::string& words);

  TMainForm& Form;
  TTableSight Seen;
};

}  // namespace kolbet
