// Any bytes as the sound bank: the items, or a DataError.

#include <cstddef>
#include <cstdint>
#include <span>

#include "assets/data_error.h"
#include "assets/sound_bank_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    kolbet::ParseSoundBank(std::span<const std::uint8_t>(data, size));
  } catch (const kolbet::DataError&) {
  }
  return 0;
}
