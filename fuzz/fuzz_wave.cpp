// Any bytes as a wave or music file: the wave and its format fields, or a
// DataError. A wave that is read holds only bytes of the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "assets/data_error.h"
#include "assets/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const kolbet::TWave wave = kolbet::ReadWave(std::span<const std::uint8_t>(data, size));
    if (wave.Format.size() + wave.Data.size() > size) std::abort();
    kolbet::ParseWaveFormat(wave.Format);
  } catch (const kolbet::DataError&) {
  }
  return 0;
}
