// The RIFF WAVE reader and the conversion to samples OpenAL takes, on files
// written by sox.

#include <gtest/gtest.h>

#include "assets/wave.h"
#include "platform/playable_samples.h"
#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

using soundtest::Bytes;
using soundtest::Chunk;

std::string ErrorOf(const Bytes& bytes) {
  try {
    ReadWave(bytes);
  } catch (const DataError& e) {
    return e.what();
  }
  return "no error";
}

const Chunk* Find(const std::vector<Chunk>& chunks, const std::string& id) {
  for (const Chunk& c : chunks) {
    if (c.Id == id) return &c;
  }
  return nullptr;
}

TEST(Wave, ReadsTheFormatsSoxWrites) {
  struct Case {
    const char* args;
    int channels, rate, bits;
  } cases[] = {
      {"-r 8000 -b 8 -c 1 -e unsigned-integer", 1, 8000, 8},
      {"-r 44100 -b 16 -c 2 -e signed-integer", 2, 44100, 16},
      {"-r 22050 -b 24 -c 1 -e signed-integer", 1, 22050, 24},
      {"-r 22050 -b 32 -c 2 -e floating-point", 2, 22050, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const Bytes file = soundtest::Sox(c.args, "synth 0.1 sine 440");
    const TWave wave = ReadWave(file);
    const auto format = ParseWaveFormat(wave.Format);
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->Channels, c.channels);
    EXPECT_EQ(format->SamplesPerSec, static_cast<unsigned>(c.rate));
    EXPECT_EQ(format->BitsPerSample, c.bits);
    // The samples are exactly the body of sox's "data" chunk.
    const auto chunks = soundtest::SplitChunks(file);
    ASSERT_NE(Find(chunks, "data"), nullptr);
    EXPECT_EQ(wave.Data, Find(chunks, "data")->Body);
    EXPECT_EQ(wave.Format, Find(chunks, "fmt ")->Body);
    EXPECT_EQ(wave.Data.size(), static_cast<std::size_t>(c.rate / 10 * c.channels * c.bits / 8));
  }
}

TEST(Wave, ChunkOrderIsFreeAndUnknownChunksAreSkipped) {
  const Bytes file = soundtest::Sox("-r 11025 -b 16 -c 1", "synth 0.05 sine 300");
  const TWave plain = ReadWave(file);
  const auto chunks = soundtest::SplitChunks(file);
  const Chunk fmt = *Find(chunks, "fmt "), data = *Find(chunks, "data");
  const Chunk list{"LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0}};
  const Chunk fact{"fact", Bytes{1, 2, 3, 4}};

  for (const auto& order : std::vector<std::vector<Chunk>>{
           {fmt, list, data}, {data, fmt}, {fact, data, list, fmt}}) {
    const TWave wave = ReadWave(soundtest::JoinChunks(order));
    EXPECT_EQ(wave.Format, plain.Format);
    EXPECT_EQ(wave.Data, plain.Data);
  }

  // Of two "data" chunks the last one holds the samples, in either order.
  const Chunk otherData{"data", Bytes{1, 2, 3, 4, 5, 6}};
  EXPECT_EQ(ReadWave(soundtest::JoinChunks({fmt, otherData, data})).Data, plain.Data);
  EXPECT_EQ(ReadWave(soundtest::JoinChunks({data, fmt, otherData})).Data, otherData.Body);

  // No pad byte is skipped after a chunk of odd size: the next header starts
  // right after its body.
  const Chunk odd{"junk", Bytes{9, 9, 9}};
  const TWave afterOdd = ReadWave(soundtest::JoinChunks({fmt, odd, data}));
  EXPECT_EQ(afterOdd.Data, plain.Data);

  // A chunk whose identifier is all zero ends the chunks; what follows is not read.
  Bytes stopped = soundtest::JoinChunks({fmt});
  for (int i = 0; i < 8; ++i) stopped.push_back(0);
  const Bytes rest = soundtest::JoinChunks({data});
  stopped.insert(stopped.end(), rest.begin() + 12, rest.end());
  EXPECT_TRUE(ReadWave(stopped).Empty());
}

TEST(Wave, EmptyAndSilentWaves) {
  EXPECT_TRUE(ReadWave({}).Empty());
  const Bytes file = soundtest::Sox("-r 11025 -b 16 -c 1", "synth 0.01 sine 300");
  const auto chunks = soundtest::SplitChunks(file);
  const TWave noData = ReadWave(soundtest::JoinChunks({*Find(chunks, "fmt ")}));
  EXPECT_TRUE(noData.Empty());
  EXPECT_FALSE(noData.Format.empty());
}

TEST(Wave, DamagedWavesGiveTheirTexts) {
  const Bytes file = soundtest::Sox("-r 11025 -b 16 -c 1", "synth 0.01 sine 300");
  Bytes notRiff = file;
  notRiff[0] = 'X';
  Bytes notWave = file;
  notWave[11] = 'X';
  EXPECT_EQ(ErrorOf(notRiff), "Wave is invalid");
  EXPECT_EQ(ErrorOf(notWave), "Wave is invalid");

  // Ending inside the RIFF header or inside the samples.
  EXPECT_EQ(ErrorOf(Bytes(file.begin(), file.begin() + 1)), "Stream-Read-Fehler");
  EXPECT_EQ(ErrorOf(Bytes(file.begin(), file.begin() + 11)), "Stream-Read-Fehler");
  EXPECT_EQ(ErrorOf(Bytes(file.begin(), file.end() - 1)), "Stream-Read-Fehler");

  // Sizes running far past the end: of the format record, of the samples,
  // and of an unknown chunk (which only ends the chunks).
  const auto chunks = soundtest::SplitChunks(file);
  auto withSize = [&](const std::string& id, std::uint32_t size) {
    Bytes b = soundtest::JoinChunks({*Find(chunks, "fmt "), *Find(chunks, "data")});
    const std::size_t at = id == "fmt " ? 16 : 12 + 8 + Find(chunks, "fmt ")->Body.size() + 4;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return b;
  };
  EXPECT_EQ(ErrorOf(withSize("fmt ", 0xFFFFFFF0u)), "Stream-Read-Fehler");
  EXPECT_EQ(ErrorOf(withSize("data", 0xFFFFFFF0u)), "Stream-Read-Fehler");
  Bytes hugeJunk = soundtest::JoinChunks({*Find(chunks, "fmt "), Chunk{"junk", {}}});
  for (int i = 0; i < 4; ++i) hugeJunk[hugeJunk.size() - 4 + i] = 0xFF;
  EXPECT_TRUE(ReadWave(hugeJunk).Empty());

  // Every cut of a whole file reads or fails with a text, never past the end.
  for (std::size_t n = 0; n < file.size(); n += 7) {
    const std::string error = ErrorOf(Bytes(file.begin(), file.begin() + n));
    EXPECT_TRUE(error == "Stream-Read-Fehler" || error == "no error") << n << ": " << error;
  }
}

TEST(PlayableSamples, WideAndFloatSamplesBecome16Bit) {
  // The same tone at 16 bits, made by sox without dither, is the reference.
  const std::string source = soundtest::SoxFile("-r 22050 -b 32 -c 2 -e floating-point",
                                                "synth 0.05 sine 440 sine 660 gain -3");
  const TWave reference = ReadWave(soundtest::Sox("-b 16 -e signed-integer", "", source));
  for (const char* args : {"-b 24 -e signed-integer", "-b 32 -e signed-integer", "-b 32 -e floating-point",
                           "-b 64 -e floating-point"}) {
    SCOPED_TRACE(args);
    const TWave wave = ReadWave(soundtest::Sox(args, "", source));
    const auto playable = MakePlayable(*ParseWaveFormat(wave.Format), wave.Data);
    ASSERT_TRUE(playable.has_value());
    EXPECT_EQ(playable->Bits, 16);
    EXPECT_EQ(playable->Channels, 2);
    EXPECT_EQ(playable->Rate, 22050);
    ASSERT_EQ(playable->Bytes.size(), reference.Data.size());
    int worst = 0;
    for (std::size_t i = 0; i + 1 < reference.Data.size(); i += 2) {
      const int want = static_cast<std::int16_t>(reference.Data[i] | reference.Data[i + 1] << 8);
      const int got = static_cast<std::int16_t>(playable->Bytes[i] | playable->Bytes[i + 1] << 8);
      worst = std::max(worst, std::abs(want - got));
    }
    EXPECT_LE(worst, 1);
  }
}

TEST(PlayableSamples, ExtensibleRecordsAndFormatsWithoutConversion) {
  // WAVE_FORMAT_EXTENSIBLE carrying 24-bit PCM, as sox writes it for 3 channels;
  // rewritten here to 2 channels so that it can be played.
  const TWave wide = ReadWave(soundtest::Sox("-r 8000 -b 24 -c 3 -e signed-integer", "synth 0.01 sine 440"));
  auto format = ParseWaveFormat(wide.Format);
  ASSERT_TRUE(format.has_value());
  EXPECT_EQ(format->FormatTag, WaveFormatExtensible);
  EXPECT_EQ(format->SampleTag, WaveFormatPcm);
  EXPECT_EQ(format->ValidBits, 24);
  EXPECT_FALSE(MakePlayable(*format, wide.Data).has_value());  // three channels
  format->Channels = 2;
  format->BlockAlign = 6;
  const auto playable = MakePlayable(*format, wide.Data);
  ASSERT_TRUE(playable.has_value());
  EXPECT_EQ(playable->Bytes.size(), wide.Data.size() / 6 * 4);  // whole frames only

  const TWave mulaw = ReadWave(soundtest::Sox("-r 8000 -c 1 -e mu-law", "synth 0.01 sine 440"));
  EXPECT_FALSE(MakePlayable(*ParseWaveFormat(mulaw.Format), mulaw.Data).has_value());
  EXPECT_FALSE(ParseWaveFormat(Bytes(14, 0)).has_value());
}

}  // namespace
}  // namespace kolbet
