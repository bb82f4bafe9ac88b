#pragma once
// The sound bank file "Kolbet.snd": a resource header, then a "TPF0" component
// stream whose root holds the items in its property "List".
//
// Bounds, far beyond the game's own bank (78 items of a few seconds, a few MB):
// a bank file of at most 128 MiB, 12 minutes of CD-quality stereo in all
// ("Datei NAME ist zu groß", before anything is read), and at most 1024 items
// ("Ungültiges Stream-Format: mehr als 1024 Einträge"), so that a file of
// countless empty items cannot ask for gigabytes of them.

#include <cstddef>
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

inline constexpr std::size_t MaxBankFileSize = 128u << 20;
inline constexpr std::size_t MaxBankItems = 1024;

// The items of a bank file, item 0 first. Damaged data raises DataError with
// "Ungültiges Stream-Format", "Stream-Read-Fehler" or "Wave is invalid"; more
// than MaxBankItems items are refused as soon as the one too many begins.
std::vector<TBankEntry> ParseSoundBank(std::span<const std::uint8_t> bytes);

}  // namespace kolbet
