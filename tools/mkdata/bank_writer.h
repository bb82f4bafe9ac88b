#pragma once
// The sound bank "Kolbet.snd": a resource header, then a component stream of
// class TWaveCollectionComponent whose property "List" holds one collection
// item per sound.

#include <string>
#include <vector>
#include "tools/mkdata/bytes.h"

namespace kolbet::mkdata {

struct BankItem {
  std::string name;         // bytes as stored (Windows-1252)
  bool looped = false;
  int maxPlayingCount = 0;  // 0: no limit
  Bytes wave;               // a complete RIFF WAVE file
};

// Every item is written with all four properties, in the order Name, Looped,
// MaxPlayingCount, Wave.WAVE; the first item becomes item 0.
Bytes WriteBank(const std::vector<BankItem>& items);

}  // namespace kolbet::mkdata
