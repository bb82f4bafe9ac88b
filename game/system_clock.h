#pragma once
// The real clock: pauses sleep until their deadline instead of spinning.

#include "game/ports.h"

namespace kolbet {

class SystemClock final : public ClockPort {
 public:
  void Pause(std::chrono::milliseconds duration) override;
  std::uint32_t MillisecondsOfDayUtc() override;
};

}  // namespace kolbet
