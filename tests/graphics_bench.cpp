// Reading the graphics pack the generator writes into the run folder (or the
// pack named by KOLBET_BENCH_PACK): the whole start-up work of the loading window.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "assets/data_error.h"
#include "assets/graphics_pack.h"

namespace {

void BM_LoadGraphics(benchmark::State& state) {
  const char* chosen = std::getenv("KOLBET_BENCH_PACK");
  const std::string path = chosen ? chosen : KOLBET_GENERATED_PACK;
  if (!std::filesystem::exists(path)) state.SkipWithError(("no pack at " + path).c_str());
  kolbet::TImageList koartn;
  for (auto _ : state) {
    try {
      kolbet::LoadGraphics(path, koartn);
    } catch (const kolbet::DataError& error) {
      state.SkipWithError(error.what());
      break;
    }
    benchmark::DoNotOptimize(koartn[kolbet::WaitingImage].Pixels.data());
  }
}
BENCHMARK(BM_LoadGraphics)->Unit(benchmark::kMillisecond);

}  // namespace
