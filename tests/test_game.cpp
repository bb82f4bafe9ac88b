#include "tests/test_game.h"

#include <stdexcept>

namespace kolbet::test {

std::uint32_t SeedDrawing(int n, int value) {
  for (std::uint32_t seed = 0; seed < 100000000u; ++seed) {
    TRandom random{seed};
    if (RandomInt(random, n) == value) return seed;
  }
  throw std::logic_error("no seed found");
}

}  // namespace kolbet::test
