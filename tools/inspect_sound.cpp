// kolbet-inspect --bank and --wave: the items of a sound bank and the format of
// a wave file, read with the game's own readers and no sound device.

#include <cstdio>
#include <exception>
#include <string>

#include "assets/sound_bank.h"
#include "assets/wave.h"
#include "tools/inspect.h"

namespace kolbet {

namespace {

// "channels=C rate=R bits=B bytes=D", or "empty" for a wave without samples.
std::string WaveFields(const TWave& wave) {
  if (wave.Empty()) return "empty";
  const auto format = ParseWaveFormat(wave.Format).value_or(TWaveFormat{});
  return "channels=" + std::to_string(format.Channels) + " rate=" + std::to_string(format.SamplesPerSec) +
         " bits=" + std::to_string(format.BitsPerSample) + " bytes=" + std::to_string(wave.Data.size());
}

// Bank item names are stored as Windows-1252 bytes; the terminal wants UTF-8.
std::string Windows1252ToUtf8(const std::string& bytes) {
  // 0x80..0x9F of Windows-1252; 0 where the code page leaves a byte undefined.
  static constexpr char16_t High[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string text;
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    char32_t code = c;
    if (c >= 0x80 && c < 0xA0) code = High[c - 0x80] ? High[c - 0x80] : U'?';
    if (code < 0x80) {
      text += static_cast<char>(code);
    } else if (code < 0x800) {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (code >> 12));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}

int Failed(const std::exception& error) {
  std::fprintf(stderr, "%s\n", error.what());
  return 1;
}

}  // namespace

int InspectBank(const std::string& file) {
  try {
    TSoundBank bank;
    bank.LoadSoundBank(file);
    for (int i = 0; i < bank.Count(); ++i) {
      const TSoundItem& item = bank.Item(i);
      std::printf("item %d name=%s looped=%d max=%d %s\n", i, Windows1252ToUtf8(item.Name).c_str(), item.Looped ? 1 : 0,
                  item.MaxPlayingCount, WaveFields(item.Wave).c_str());
    }
    return 0;
  } catch (const std::exception& error) {
    return Failed(error);
  }
}

int InspectWave(const std::string& file) {
  try {
    std::printf("wave %s\n", WaveFields(LoadWaveFile(file)).c_str());
    return 0;
  } catch (const std::exception& error) {
    return Failed(error);
  }
}

}  // namespace kolbet
