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

// Ten megabytes of five million empty items; the largest bank allowed still
// reads, one item more does not.
TEST(BankBounds, ItemsAreBounded) {
  const std::string tooMany = "Ungültiges Stream-Format: mehr als 1024 Einträge";
  EXPECT_EQ(ErrorOf([] { ParseSoundBank(EmptyItems(5'000'000)); }), tooMany);
  EXPECT_EQ(ErrorOf([] { ParseSoundBank(EmptyItems(1025)); }), tooMany);
  EXPECT_EQ(ParseSoundBank(EmptyItems(1024)).size(), 1024u);
}

// A file one byte beyond its size limit is not read at all, a bank at the
// limit is read (and refused for its content, zeros); the bank keeps its items.
TEST(BankBounds, OversizedFilesAreRefusedUnread) {
  TSoundBank bank;
  bank.LoadSoundBank(soundtest::TempFile("small.snd", EmptyItems(3)));
  const std::uintmax_t MiB = 1 << 20;
  struct Case {
    const char* Name;
    std::uintmax_t Size;
    bool Bank;
    bool Beyond;
  };
  const Case cases[] = {
      {"limit.snd", 128 * MiB, true, false}, {"huge.snd", 128 * MiB + 1, true, true}, {"huge.kbm", 256 * MiB + 1, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string file = SparseFile(c.Name, c.Size);
    const std::string error = ErrorOf([&] { c.Bank ? bank.LoadSoundBank(file) : (void)LoadWaveFile(file); });
    EXPECT_EQ(error == "Datei " + file + " ist zu groß", c.Beyond) << error;
    EXPECT_NE(error, "(no error)");
    EXPECT_EQ(bank.Count(), 3);
    std::filesystem::remove(file);
  }
}

}  // namespace kolbet
