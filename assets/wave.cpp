#include "assets/wave.h"

#include <algorithm>
#include <cstring>

#include "assets/stream_errors.h"

namespace kolbet {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

std::uint16_t Le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

bool IsId(const std::uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// The sub-format GUIDs of PCM and float data differ only in their first two
// bytes, which hold the format tag; this is the rest of them.
constexpr std::uint8_t GuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                       0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

TWave ReadWave(std::span<const std::uint8_t> bytes) {
  TWave wave;
  if (bytes.empty()) return wave;
  if (bytes.size() < 12) throw StreamReadError();
  if (!IsId(bytes.data(), "RIFF") || !IsId(bytes.data() + 8, "WAVE")) throw WaveInvalid();

  // Positions are kept in 64 bits, so that no chunk size can wrap them round.
  const std::uint64_t size = bytes.size();
  std::uint64_t pos = 12;
  bool haveData = false;
  std::uint64_t dataPos = 0;
  std::uint32_t dataSize = 0;
  for (;;) {
    // The header is cleared before it is read: at the end of the data it reads
    // as identifier 0, which ends the loop.
    std::uint8_t header[8] = {};
    const std::uint64_t got = std::min<std::uint64_t>(8, size - pos);
    std::memcpy(header, bytes.data() + pos, got);
    pos += got;
    if (Le32(header) == 0) break;
    const std::uint32_t chunkSize = Le32(header + 4);
    if (IsId(header, "fmt ")) {
      if (chunkSize > size - pos) throw StreamReadError();
      wave.Format.assign(bytes.begin() + pos, bytes.begin() + pos + chunkSize);
    } else if (IsId(header, "data")) {
      haveData = true;
      dataPos = pos;
      dataSize = chunkSize;
    }
    // Every chunk is skipped by its size, without a pad byte after an odd one.
    pos = std::min(size, pos + chunkSize);
  }
  if (haveData) {
    if (dataSize > size - dataPos) throw StreamReadError();
    wave.Data.assign(bytes.begin() + dataPos, bytes.begin() + dataPos + dataSize);
  }
  return wave;
}

TWave LoadWaveFile(const std::string& fileName) { return ReadWave(ReadFileBytes(fileName, MaxWaveFileSize)); }

std::optional<TWaveFormat> ParseWaveFormat(std::span<const std::uint8_t> record) {
  if (record.size() < 16) return std::nullopt;
  const std::uint8_t* p = record.data();
  TWaveFormat format;
  format.FormatTag = Le16(p);
  format.Channels = Le16(p + 2);
  format.SamplesPerSec = Le32(p + 4);
  format.AvgBytesPerSec = Le32(p + 8);
  format.BlockAlign = Le16(p + 12);
  format.BitsPerSample = Le16(p + 14);
  format.SampleTag = format.FormatTag;
  format.ValidBits = format.BitsPerSample;
  if (format.FormatTag == WaveFormatExtensible) {
    // cbSize, valid bits, channel mask, then the sub-format GUID.
    format.SampleTag = 0;
    if (record.size() >= 40 && Le16(p + 16) >= 22 && std::memcmp(p + 26, GuidTail, 14) == 0) {
      format.SampleTag = Le16(p + 24);
      format.ValidBits = Le16(p + 18);
      if (format.ValidBits == 0) format.ValidBits = format.BitsPerSample;
    }
  }
  return format;
}

}  // namespace kolbet
