// The random generator and the seed from the clock.

#include <gtest/gtest.h>

#include "game/random.h"
#include "game/system_clock.h"

using namespace kolbet;

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

TEST(Random, EqualSeedsGiveEqualDraws) {
  TRandom a{45296789}, b{45296789};
  for (int i = 0; i < 100; ++i) EXPECT_EQ(RandomInt(a, 32), RandomInt(b, 32));
}

TEST(Random, ClockSeedIsTheMillisecondOfTheDay) {
  SystemClock clock;
  EXPECT_LT(clock.MillisecondsOfDayUtc(), 86400000u);
}
