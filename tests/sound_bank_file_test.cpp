// The bank file: resource header, component stream, items and their defaults,
// and the texts of damaged banks.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "assets/sound_bank_file.h"
#include "assets/stream_errors.h"
#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

using soundtest::BankWriter;
using soundtest::Bytes;

std::string ErrorOf(const Bytes& bytes) {
  try {
    ParseSoundBank(bytes);
  } catch (const DataError& e) {
    return e.what();
  }
  return "no error";
}

// A root with a property of every value type before and after "List", items
// led by integers of each size, properties left out or given in other cases
// and types, and a property the program does not know.
TEST(BankFile, ReadsEveryValueTypeAndItemForm) {
  const Bytes wave = soundtest::SoxTone(0.01);
  BankWriter w;
  w.Byte(0xFF).Le16(10).Raw({'X', 0}).Le16(0).Le32(0).Raw({'T', 'P', 'F', '0'});
  w.Byte(0xF2).Int16(7);  // prefix with a child position
  w.Short("TWaveCollectionComponent").Short("Saunds");
  w.Short("Tag").Int32(-5).Short("Flags").Byte(1).Int8(1).String("x").Ident("y").Bool(true).Bool(false)
      .Byte(0);
  w.Short("Data").Binary({1, 2, 3}).Short("Text").LString("long");
  w.Short("Other").Byte(14).Byte(1).Short("A").Int8(1).Byte(0).Int8(3).Byte(1).Byte(0).Byte(0);
  w.Short("List").Byte(14);
  // Item 0: everything given.
  w.Byte(1).Short("Name").String("Gria Sima").Short("Looped").Bool(true).Short("MaxPlayingCount").Int8(2)
      .Short("Wave.WAVE").Binary(wave).Byte(0);
  // Item 1: nothing given, led by a 1-byte integer.
  w.Int8(4).Byte(1).Byte(0);
  // Item 2: led by a 2-byte integer; long string name, looped as identifier,
  // a negative limit, names in other cases, an unknown property.
  w.Int16(-300).Byte(1).Short("NAME").LString("Oachl Sau").Short("looped").Ident("true")
      .Short("maxplayingcount").Int32(-3).Short("Frequency").Int32(22050).Byte(0);
  // Item 3: led by a 4-byte integer; looped written as identifier "False", limit in 2 bytes.
  w.Int32(1 << 20).Byte(1).Short("Looped").Ident("False").Short("MaxPlayingCount").Int16(300).Byte(0);
  // Item 4: a negative limit in 2 bytes.
  w.Byte(1).Short("MaxPlayingCount").Int16(-2).Byte(0);
  w.Byte(0);
  w.Short("Tail").Int8(0).Byte(0).Byte(0);

  const auto items = ParseSoundBank(w.Out);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].Name, "Gria Sima");
  EXPECT_TRUE(items[0].Looped);
  EXPECT_EQ(items[0].MaxPlayingCount, 2);
  EXPECT_EQ(items[0].Wave.Data, ReadWave(wave).Data);
  EXPECT_EQ(items[1].Name, "");
  EXPECT_FALSE(items[1].Looped);
  EXPECT_EQ(items[1].MaxPlayingCount, 0);
  EXPECT_TRUE(items[1].Wave.Empty());
  EXPECT_EQ(items[2].Name, "Oachl Sau");
  EXPECT_TRUE(items[2].Looped);
  EXPECT_EQ(items[2].MaxPlayingCount, 0);
  EXPECT_FALSE(items[3].Looped);
  EXPECT_EQ(items[3].MaxPlayingCount, 300);
  EXPECT_EQ(items[4].MaxPlayingCount, 0);
}

TEST(BankFile, LongResourceNamesAndEmptyLists) {
  // The resource name ends at its zero byte, wherever it is within the first bytes.
  for (const std::string& name : {std::string(), std::string(40, 'N'), std::string(75, 'N')}) {
    BankWriter w;
    w.Header(name).Short("List").Byte(14).Byte(0).Byte(0).Byte(0);
    EXPECT_TRUE(ParseSoundBank(w.Out).empty()) << name.size();
  }
  BankWriter noList;
  noList.Header().Byte(0).Byte(0);
  EXPECT_TRUE(ParseSoundBank(noList.Out).empty());
}

TEST(BankFile, DamagedBanksGiveTheirTexts) {
  const Bytes good = soundtest::MakeBank({{"A", false, 2, soundtest::SoxTone(0.01)}, {}});
  ASSERT_EQ(ParseSoundBank(good).size(), 2u);

  auto changed = [&](std::size_t at, std::uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  EXPECT_EQ(ErrorOf(changed(0, 0xFE)), "Ungültiges Stream-Format");  // no resource header
  EXPECT_EQ(ErrorOf(changed(1, 11)), "Ungültiges Stream-Format");    // resource type not 10
  EXPECT_EQ(ErrorOf(changed(2, 1)), "Ungültiges Stream-Format");
  EXPECT_EQ(ErrorOf(changed(16, 'X')), "Ungültiges Stream-Format");  // "TPF0" after "KOLBET" header
  EXPECT_EQ(ErrorOf({}), "Ungültiges Stream-Format");

  // A wave that is not RIFF WAVE inside an item.
  const Bytes badWave = soundtest::MakeBank({{"A", {}, {}, Bytes{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}}});
  EXPECT_EQ(ErrorOf(badWave), "Wave is invalid");

  // A value type the reader does not know, an item without its list start,
  // a yes/no property with a strange identifier, "List" of the wrong type.
  BankWriter unknownType;
  unknownType.Header().Short("Tag").Byte(5).Raw(Bytes(10, 0)).Byte(0).Byte(0);
  EXPECT_EQ(ErrorOf(unknownType.Out), "Ungültiges Stream-Format");
  BankWriter noListStart;
  noListStart.Header().Short("List").Byte(14).Int8(1).Int8(2).Byte(0).Byte(0).Byte(0);
  EXPECT_EQ(ErrorOf(noListStart.Out), "Ungültiges Stream-Format");
  BankWriter oddIdent;
  oddIdent.Header().Short("List").Byte(14).Byte(1).Short("Looped").Ident("Jo").Byte(0).Byte(0).Byte(0).Byte(0);
  EXPECT_EQ(ErrorOf(oddIdent.Out), "Ungültiges Stream-Format");
  BankWriter listAsInt;
  listAsInt.Header().Short("List").Int8(3).Byte(0).Byte(0);
  EXPECT_EQ(ErrorOf(listAsInt.Out), "Ungültiges Stream-Format");

  // Lengths running far past the end never allocate or read beyond it.
  BankWriter hugeBinary;
  hugeBinary.Header().Short("Blob").Byte(10).Le32(0x7FFFFFF0).Raw({1, 2, 3});
  EXPECT_EQ(ErrorOf(hugeBinary.Out), "Stream-Read-Fehler");
  BankWriter hugeString;
  hugeString.Header().Short("Text").Byte(12).Le32(0xFFFFFFFF).Raw({1, 2, 3});
  EXPECT_EQ(ErrorOf(hugeString.Out), "Stream-Read-Fehler");

  // Lists nested without end are refused before they exhaust the stack.
  BankWriter deep;
  deep.Header().Short("Deep").Raw(Bytes(100000, 1));
  EXPECT_EQ(ErrorOf(deep.Out), "Ungültiges Stream-Format");

  // Every cut of the bank fails with "Stream-Read-Fehler" once the header and
  // signature are there (the first cuts lack them).
  for (std::size_t n = 21; n < good.size(); ++n) {
    ASSERT_EQ(ErrorOf(Bytes(good.begin(), good.begin() + n)), "Stream-Read-Fehler") << n;
  }
}

// Whatever bytes are changed, the reader gives one of its own texts or a bank
// of items made only of what the file holds (no name or wave larger than the
// file); a change within the samples alone gives both items, the samples as
// they now are.
TEST(BankFile, RandomDamageGivesATextOrABank) {
  const Bytes tone = soundtest::SoxTone(0.01);
  const Bytes good = soundtest::MakeBank({{"A", true, 2, tone}, {"B", false, {}, tone}});
  // The samples of item B, the last in the file.
  const Bytes samples = ReadWave(tone).Data;
  const auto found = std::find_end(good.begin(), good.end(), samples.begin(), samples.end());
  ASSERT_NE(found, good.end());
  const std::size_t samplesStart = static_cast<std::size_t>(found - good.begin());
  const std::size_t samplesEnd = samplesStart + samples.size();
  const std::set<std::string> texts = {"Ungültiges Stream-Format", "Stream-Read-Fehler", "Wave is invalid",
                                       "Ungültiges Stream-Format: mehr als 1024 Einträge"};
  std::mt19937 random(7);
  int banks = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes b = good;
    const int changes = 1 + round % 4;
    bool samplesOnly = true;
    for (int i = 0; i < changes; ++i) {
      const std::size_t at =
          round % 5 == 0 ? samplesStart + random() % (samplesEnd - samplesStart) : random() % b.size();
      samplesOnly = samplesOnly && at >= samplesStart && at < samplesEnd;
      b[at] = static_cast<std::uint8_t>(random());
    }
    const std::string error = ErrorOf(b);
    if (error != "no error") {
      ASSERT_TRUE(texts.contains(error)) << "round " << round << ": " << error;
      ASSERT_FALSE(samplesOnly) << "round " << round << ": " << error;
      continue;
    }
    ++banks;
    const std::vector<TBankEntry> items = ParseSoundBank(b);
    ASSERT_LE(items.size(), MaxBankItems);
    for (const TBankEntry& item : items) {
      ASSERT_LE(item.Name.size() + item.Wave.Format.size() + item.Wave.Data.size(), b.size()) << round;
    }
    if (samplesOnly) {
      ASSERT_EQ(items.size(), 2u) << round;
      EXPECT_EQ(items[1].Name, "B");
      EXPECT_EQ(items[1].Wave.Data,
                Bytes(b.begin() + static_cast<long>(samplesStart), b.begin() + static_cast<long>(samplesEnd)));
    }
  }
  EXPECT_GT(banks, 600);
}

}  // namespace
}  // namespace kolbet
