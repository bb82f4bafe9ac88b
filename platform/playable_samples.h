#pragma once
// Turns a wave's samples into a layout OpenAL takes directly: 8-bit unsigned
// or 16-bit signed PCM, mono or stereo. 24-bit and 32-bit PCM and 32-bit and
// 64-bit float, also inside WAVE_FORMAT_EXTENSIBLE, become 16-bit PCM.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "assets/wave.h"

namespace kolbet {

struct TPlayableSamples {
  int Channels = 0;      // 1 or 2
  int Rate = 0;          // sample frames per second
  int Bits = 0;          // 8 or 16
  std::vector<std::uint8_t> Bytes;  // whole frames only
};

// Nothing when the format cannot be played: another coding (ADPCM, A-law, ...),
// more than two channels, a sample size without a conversion, no rate.
std::optional<TPlayableSamples> MakePlayable(const TWaveFormat& format,
                                             std::span<const std::uint8_t> samples);

}  // namespace kolbet
