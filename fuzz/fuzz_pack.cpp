// Any bytes as the graphics pack: the reader either stores pictures or stops
// with a DataError, within the memory and time a real pack needs. The same
// bytes then serve as the pack's high-resolution companion (at factor 1 every
// size matches), each picture decoded whole and at a quarter: the companion's
// reader either gives the picture or stops with a DataError too.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "assets/data_error.h"
#include "assets/graphics_pack.h"
#include "assets/hd_pack.h"

namespace {

void ReadAsCompanion(std::span<const std::uint8_t> bytes) {
  kolbet::TEntrySizes sizes;
  try {
    sizes = kolbet::PackEntrySizes(bytes, "kolbet.dat");
  } catch (const kolbet::DataError&) {
    return;  // no sizes to compare with: the game would not open a companion
  }
  const int file = memfd_create("kolbet-hd.dat", MFD_CLOEXEC);
  if (file < 0) return;
  if (write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())) {
    try {
      const auto hd = kolbet::THdPack::Open("/proc/self/fd/" + std::to_string(file), sizes, 1);
      for (int item = 0; hd && item < kolbet::ImageCount; ++item) {
        for (int part : {1, 4}) {
          try {
            hd->Decode(item, sizes[item].Width / part, sizes[item].Height / part);
          } catch (const kolbet::DataError&) {
          }
        }
      }
    } catch (const kolbet::DataError&) {
    }
  }
  close(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto koartn = std::make_unique<kolbet::TImageList>();
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    kolbet::LoadGraphicsFrom(bytes, "kolbet.dat", *koartn);
  } catch (const kolbet::DataError&) {
  }
  ReadAsCompanion(bytes);
  return 0;
}
