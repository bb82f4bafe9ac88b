// Sound banks and music files that would cost far more memory than any real
// one: refused early with the reader's own text, before anything is changed.

#include <gtest/gtest.h>

#include <filesystem>

#include "assets/sound_bank.h"
#include "assets/sound_bank_file.h"
#include "assets/wave.h"
#include "tests/sound_fixtures.h"
#include "tests/data_error_of.h"

namespace kolbet {
namespace {

using soundtest::BankWriter;
using soundtest::Bytes;

// A bank of `count` empty items: two bytes each.
Bytes EmptyItems(std::size_t count) {
  BankWriter w;
  w.Header().Short("List").Byte(14);
  w.Out.reserve(w.Out.size() + 2 * count + 3);
  for (std::size_t i = 0; i < count; ++i) w.Byte(1).Byte(0);
  w.Byte(0).Byte(0).Byte(0);
  return w.Out;
}

// A file of `size` bytes that takes no room on the disk.
std::string SparseFile(const std::string& name, std::uintmax_t size) {
  std::string path = soundtest::TempFile(name, {});
  std::filesystem::resize_file(path, size);
  return path;
}

}  // namespace

// Ten megabytes of five million empty items; the largest bank allowed still reads.
TEST(BankBounds, ItemsAreBounded) {
  EXPECT_EQ(ErrorOf([] { ParseSoundBank(EmptyItems(5'000'000)); }), "Ungültiges Stream-Format: mehr als 1024 Einträge");
  EXPECT_EQ(ParseSoundBank(EmptyItems(MaxBankItems)).size(), MaxBankItems);
}

// Files beyond their size limit are not read at all; the bank keeps its items.
TEST(BankBounds, OversizedFilesAreRefusedUnread) {
  TSoundBank bank;
  bank.LoadSoundBank(soundtest::TempFile("small.snd", EmptyItems(3)));
  const std::string bankFile = SparseFile("huge.snd", MaxBankFileSize + 1);
  EXPECT_EQ(ErrorOf([&] { bank.LoadSoundBank(bankFile); }), "Datei " + bankFile + " ist zu groß");
  EXPECT_EQ(bank.Count(), 3);

  const std::string music = SparseFile("huge.kbm", MaxWaveFileSize + 1);
  EXPECT_EQ(ErrorOf([&] { LoadWaveFile(music); }), "Datei " + music + " ist zu groß");
  std::filesystem::remove(bankFile);
  std::filesystem::remove(music);
}

}  // namespace kolbet
