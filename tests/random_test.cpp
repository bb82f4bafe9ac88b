// The random generator and the seed from the clock.

#include <gtest/gtest.h>

#include <ctime>

#include "game/random.h"
#include "game/system_clock.h"

using namespace kolbet;

// Equal seeds give equal draws: a generator seeded anew repeats its draws.
TEST(Random, KnownSequences) {
  TRandom random{0};
  EXPECT_EQ(RandomInt(random, 8), 0);  // seed 0 picks "Franz"
  random.Seed = 0;
  for (int expected : {0, 3, 86, 20, 27}) EXPECT_EQ(RandomInt(random, 100), expected);
  random.Seed = 1;
  for (int expected : {1, 27, 6, 8, 21, 10, 5, 11, 13, 2}) EXPECT_EQ(RandomInt(random, 32), expected);
}

TEST(Random, StaysInRangeAndAlwaysAdvances) {
  TRandom random{0xFFFFFFFFu};
  for (int n : {1, 2, 12, 17, 100, 0x7FFFFFFF}) {
    for (int i = 0; i < 1000; ++i) {
      const std::uint32_t before = random.Seed;
      const int value = RandomInt(random, n);
      EXPECT_GE(value, 0);
      EXPECT_LT(value, n);
      EXPECT_EQ(random.Seed, before * 134775813u + 1u);
    }
  }
}

// The clock's reading lies between two readings of the system's own clock
// taken around it, as milliseconds since midnight UTC, and it advances.
TEST(Random, ClockSeedIsTheMillisecondOfTheDay) {
  auto millisecondOfDay = [] {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint32_t>(now.tv_sec % 86400 * 1000 + now.tv_nsec / 1000000);
  };
  SystemClock clock;
  for (int i = 0; i < 3; ++i) {
    const std::uint32_t before = millisecondOfDay();
    const std::uint32_t value = clock.MillisecondsOfDayUtc();
    const std::uint32_t after = millisecondOfDay();
    clock.Pause(std::chrono::milliseconds(7));
    if (after < before) continue;  // midnight passed in between
    EXPECT_GE(value, before);
    EXPECT_LE(value, after);
  }
}
