// Speed of loading the sound bank (no device): the generated bank, and a bank
// of 78 one-second tones made here when the generated one is not there.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "assets/sound_bank.h"

namespace {

// A bank of 78 items, each a 1-second 22050 Hz 16-bit mono wave of silence,
// written in the bank format by hand.
std::string MakeStandInBank() {
  std::string path = std::filesystem::temp_directory_path() / "kolbet-bench.snd";
  std::string out = std::string("\xFF\x0A\x00", 3) + "KOLBET" + std::string(7, '\0') + "TPF0";
  auto shortString = [&](const std::string& s) { out += static_cast<char>(s.size()); out += s; };
  auto le32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i)); };
  shortString("TWaveCollectionComponent");
  shortString("");
  shortString("List");
  out += '\x0E';
  const std::uint32_t samples = 22050 * 2;
  for (int i = 0; i < 78; ++i) {
    out += '\x01';
    shortString("Name");
    out += '\x06';
    shortString("Item " + std::to_string(i));
    shortString("Wave.WAVE");
    out += '\x0A';
    le32(44 + samples);
    out += "RIFF";
    le32(36 + samples);
    out += "WAVEfmt ";
    le32(16);
    out += std::string("\x01\x00\x01\x00", 4);
    le32(22050);
    le32(44100);
    out += std::string("\x02\x00\x10\x00", 4);
    out += "data";
    le32(samples);
    out += std::string(samples, '\0');
    out += '\0';
  }
  out += std::string(3, '\0');
  std::ofstream(path, std::ios::binary) << out;
  return path;
}

void LoadBank(benchmark::State& state, const std::string& path) {
  if (!std::filesystem::exists(path)) {
    state.SkipWithError(("no bank at " + path).c_str());
    return;
  }
  kolbet::TSoundBank bank;
  for (auto _ : state) {
    bank.LoadSoundBank(path);
    benchmark::DoNotOptimize(bank.Count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_LoadSoundBank(benchmark::State& state) { LoadBank(state, KOLBET_GENERATED_BANK); }
BENCHMARK(BM_LoadSoundBank)->Unit(benchmark::kMillisecond);

void BM_LoadSoundBankStandIn(benchmark::State& state) {
  static const std::string path = MakeStandInBank();
  LoadBank(state, path);
}
BENCHMARK(BM_LoadSoundBankStandIn)->Unit(benchmark::kMillisecond);

}  // namespace
