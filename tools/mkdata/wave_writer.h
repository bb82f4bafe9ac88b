#pragma once
// RIFF WAVE bytes for 16-bit PCM, and reading back the PCM wave that the speech
// synthesiser streams (whose size fields may be placeholders).

#include <cstdint>
#include <vector>
#include "tools/mkdata/bytes.h"

namespace kolbet::mkdata {

struct Pcm16 {
  int channels = 1;
  int rate = 22050;
  std::vector<std::int16_t> samples;  // interleaved
};

// "RIFF", size, "WAVE", a 16-byte "fmt " chunk, a "data" chunk; no other chunks.
Bytes WriteWave(const Pcm16& pcm);

// Reads a 16-bit PCM RIFF WAVE. The "data" chunk runs to the end of the bytes
// when its size field overstates it (as when the writer streamed it without
// knowing the length). Throws std::runtime_error for anything else.
Pcm16 ReadPcm16Wave(const Bytes& wave);

}  // namespace kolbet::mkdata
