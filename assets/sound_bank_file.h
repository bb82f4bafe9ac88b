#pragma once
// The sound bank file "Kolbet.snd": a resource header, then a "TPF0" component
// stream whose root holds the items in its property "List".

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "assets/wave.h"

namespace kolbet {

// One item as the file stores it; a property left out keeps its default.
struct TBankEntry {
  std::string Name;
  bool Looped = false;
  int MaxPlayingCount = 0;  // 0: no limit
  TWave Wave;
};

// The items of a bank file, item 0 first. Damaged data raises DataError with
// "Ungültiges Stream-Format", "Stream-Read-Fehler" or "Wave is invalid".
std::vector<TBankEntry> ParseSoundBank(std::span<const std::uint8_t> bytes);

}  // namespace kolbet
