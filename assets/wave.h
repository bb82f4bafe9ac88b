#pragma once
// RIFF WAVE data: the sound of a bank item and the whole of a music file.
// A wave is kept as found: the format record bytes and the sample bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "assets/data_error.h"
#include "assets/data_file.h"

namespace kolbet {

struct TWave {
  std::vector<std::uint8_t> Format;  // the body of the "fmt " chunk, unchanged
  std::vector<std::uint8_t> Data;    // the body of the "data" chunk
  // An empty wave has no samples and never gets a buffer on the sound device.
  bool Empty() const { return Data.empty(); }
};

// Reads a wave from the bytes of a RIFF WAVE file. No bytes at all is an empty
// wave; a wrong RIFF header is "Wave is invalid"; bytes ending inside the header,
// the format record or the samples are "Stream-Read-Fehler".
TWave ReadWave(std::span<const std::uint8_t> bytes);

// Reads a RIFF WAVE file from disk ("Datei %s kann nicht geöffnet werden" when
// it cannot be opened). A music file is held whole in memory, so one beyond
// MaxWaveFileSize (256 MiB, 25 minutes of CD-quality stereo) is refused with
// "Datei %s ist zu groß" before it is read.
inline constexpr std::size_t MaxWaveFileSize = 256u << 20;
TWave LoadWaveFile(const std::string& fileName);

// Format tags of the wave format record.
inline constexpr std::uint16_t WaveFormatPcm = 1;
inline constexpr std::uint16_t WaveFormatFloat = 3;
inline constexpr std::uint16_t WaveFormatExtensible = 0xFFFE;

// The fields of a wave format record. For WAVE_FORMAT_EXTENSIBLE, SampleTag is
// the tag of the sub-format (PCM or float) and ValidBits its bits per sample;
// otherwise SampleTag equals FormatTag and ValidBits equals BitsPerSample.
struct TWaveFormat {
  std::uint16_t FormatTag = 0;
  std::uint16_t Channels = 0;
  std::uint32_t SamplesPerSec = 0;
  std::uint32_t AvgBytesPerSec = 0;
  std::uint16_t BlockAlign = 0;
  std::uint16_t BitsPerSample = 0;
  std::uint16_t SampleTag = 0;
  std::uint16_t ValidBits = 0;
};

// The fields of a format record; nothing when the record is too short to hold
// them. An extensible record with an unknown sub-format gets SampleTag 0.
std::optional<TWaveFormat> ParseWaveFormat(std::span<const std::uint8_t> record);

}  // namespace kolbet
