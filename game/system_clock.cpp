#include "game/system_clock.h"

#include <thread>

namespace kolbet {

void SystemClock::Pause(std::chrono::milliseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  // sleep_until may wake early on some systems; go back to sleep until the
  // deadline has really passed.
  while (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_until(deadline);
}

std::uint32_t SystemClock::MillisecondsOfDayUtc() {
  using namespace std::chrono;
  const auto now = time_point_cast<milliseconds>(system_clock::now());
  const auto sinceMidnight = now - floor<days>(now);
  return static_cast<std::uint32_t>(sinceMidnight.count());
}

}  // namespace kolbet
