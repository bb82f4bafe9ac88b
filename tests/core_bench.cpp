// Speed of the game core: whole hands played through the simulator's path.

#include <benchmark/benchmark.h>

#include "tools/sim_driver.h"

static void BM_PlayHands(benchmark::State& state) {
  const int hands = static_cast<int>(state.range(0));
  std::uint32_t seed = 1;
  for (auto _ : state) {
    kolbet::Transcript transcript(static_cast<std::FILE*>(nullptr));
    kolbet::SimOptions options;
    options.Seed = seed++;
    options.Hands = hands;
    options.TrumpfoderNarrisch = true;
    benchmark::DoNotOptimize(kolbet::RunSimulation(options, transcript));
  }
  state.SetItemsProcessed(state.iterations() * hands);
  state.counters["hands_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations() * hands), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlayHands)->Arg(10000)->Unit(benchmark::kMillisecond);
