// Any bytes as the graphics pack: the reader either stores pictures or stops
// with a DataError, within the memory and time a real pack needs.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "assets/data_error.h"
#include "assets/graphics_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto koartn = std::make_unique<kolbet::TImageList>();
  try {
    kolbet::LoadGraphicsFrom(std::span<const std::uint8_t>(data, size), "kolbet.dat", *koartn);
  } catch (const kolbet::DataError&) {
  }
  return 0;
}
