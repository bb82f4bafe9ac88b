#pragma once
// The program's one random generator: a 32-bit linear congruential generator.
// Every random choice draws from it in a fixed order, so equal seeds and equal
// moves give equal games.

#include <cstdint>

namespace kolbet {

struct TRandom {
  std::uint32_t Seed = 0;
};

// Seeds from the time of day: milliseconds since midnight, UTC.
inline void SeedRandom(TRandom& random, std::uint32_t millisecondsOfDayUtc) {
  random.Seed = millisecondsOfDayUtc;
}

// A number from 0 to n - 1, for n >= 1: the upper half of the 64-bit product of
// the advanced seed and n.
inline int RandomInt(TRandom& random, int n) {
  random.Seed = random.Seed * 134775813u + 1u;
  return static_cast<int>((std::uint64_t{random.Seed} * static_cast<std::uint32_t>(n)) >> 32);
}

}  // namespace kolbet
