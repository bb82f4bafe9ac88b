#pragma once
// What each item of the sound bank holds: its name, what the voice says for it,
// and how it plays.

#include <string>
#include <vector>

namespace kolbet::mkdata {

struct ItemPlan {
  std::string name;     // the item's "Name" (UTF-8 here; stored as Windows-1252)
  std::string speech;   // what the synthesiser is given; empty for the music item
  bool looped = false;
  int maxPlayingCount = 0;
};

// Items 0 to 77 in bank order. Card names are "suit rank"; the curses and
// phrases are the chat menu's captions; sayings whose caption trails off with
// "..." are spoken in full.
std::vector<ItemPlan> PlanBankItems();

// UTF-8 text as Windows-1252 bytes; throws std::runtime_error for characters
// that code page lacks.
std::string ToWindows1252(const std::string& utf8);

}  // namespace kolbet::mkdata
