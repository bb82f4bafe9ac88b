#include "tests/graphics_fixtures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace kolbet::test {

std::string FixtureDir() {
  const std::string dir = KOLBET_FIXTURE_DIR;
  std::filesystem::create_directories(dir);
  return dir;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Convert(const std::string& args, const std::string& ext, const std::string& prefix) {
  const std::string key = args + "|" + ext + "|" + prefix;
  char hash[32];
  std::snprintf(hash, sizeof hash, "%016zx", std::hash<std::string>{}(key));
  const std::string file = FixtureDir() + "/" + hash + "." + ext;
  if (!std::filesystem::exists(file)) {
    // Tests run in parallel processes: make the file under a name of our own,
    // then move it into place in one step.
    const std::string scratch = file + "." + std::to_string(getpid()) + "." + ext;
    const std::string out = prefix.empty() ? scratch : prefix + ":" + scratch;
    const std::string command = "convert " + args + " '" + out + "'";
    if (std::system(command.c_str()) != 0) {
      ADD_FAILURE() << "command failed: " << command;
      return {};
    }
    std::filesystem::rename(scratch, file);
  }
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
