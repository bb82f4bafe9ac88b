#include "tests/graphics_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace kolbet::test {

std::string FixtureDir() {
  std::string dir = KOLBET_FIXTURE_DIR;
  std::filesystem::create_directories(dir);
  return dir;
}

Bytes Convert(const std::string& args, const std::string& ext, const std::string& prefix) {
  const std::string file =
      fixtures::MakeOnce(FixtureDir(), args + "|" + ext + "|" + prefix, ext, [&](const std::string& out) {
        return "convert " + args + " '" + (prefix.empty() ? out : prefix + ":" + out) + "'";
      });
  return ReadFile(file);
}

int PackWriter::Append(const Bytes& stream, int gap) {
  Data.insert(Data.end(), static_cast<std::size_t>(gap), 0xA5);
  const int offset = static_cast<int>(Data.size());
  Data.insert(Data.end(), stream.begin(), stream.end());
  return offset;
}

void PackWriter::SetEntry(int entry, std::int32_t offset) {
  const auto value = static_cast<std::uint32_t>(offset);
  for (int i = 0; i < 4; ++i) Data[static_cast<std::size_t>(entry) * 4 + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

int GifImageSeparator(const Bytes& gif) {
  if (gif.size() < 13) return -1;
  std::size_t at = 13;
  if (gif[10] & 0x80) at += 3u << ((gif[10] & 7) + 1);
  while (at < gif.size()) {
    if (gif[at] == 0x2C) return static_cast<int>(at);
    if (gif[at] != 0x21 || at + 2 >= gif.size()) return -1;
    at += 2;  // introducer and label, then sub-blocks up to the empty one
    while (at < gif.size() && gif[at] != 0) at += gif[at] + 1u;
    ++at;
  }
  return -1;
}

bool Near(std::uint32_t pixel, int r, int g, int b, int tolerance) {
  const int pr = (pixel >> 16) & 0xFF, pg = (pixel >> 8) & 0xFF, pb = pixel & 0xFF;
  return std::abs(pr - r) <= tolerance && std::abs(pg - g) <= tolerance && std::abs(pb - b) <= tolerance;
}

}  // namespace kolbet::test
