#include "tools/mkdata/wave_writer.h"

#include <cstring>
#include <stdexcept>

namespace kolbet::mkdata {
namespace {

std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
unsigned U16At(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
bool TagAt(const Bytes& b, std::size_t at, const char* tag) { return std::memcmp(&b[at], tag, 4) == 0; }

}  // namespace

Bytes WriteWave(const Pcm16& pcm) {
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
  const unsigned block = 2 * pcm.channels;
  Bytes out;
  out.reserve(44 + dataBytes);
  PutText(out, "RIFF");
  PutU32(out, 36 + dataBytes);
  PutText(out, "WAVE");
  PutText(out, "fmt ");
  PutU32(out, 16);
  PutU16(out, 1);  // PCM
  PutU16(out, pcm.channels);
  PutU32(out, pcm.rate);
  PutU32(out, pcm.rate * block);
  PutU16(out, block);
  PutU16(out, 16);
  PutText(out, "data");
  PutU32(out, dataBytes);
  for (std::int16_t s : pcm.samples) PutU16(out, static_cast<std::uint16_t>(s));
  return out;
}

Pcm16 ReadPcm16Wave(const Bytes& wave) {
  if (wave.size() < 12 || !TagAt(wave, 0, "RIFF") || !TagAt(wave, 8, "WAVE"))
    throw std::runtime_error("not a RIFF WAVE file");
  Pcm16 pcm;
  bool haveFormat = false;
  std::size_t at = 12;
  while (at + 8 <= wave.size()) {
    const std::uint32_t size = U32At(wave, at + 4);
    const std::size_t body = at + 8;
    if (TagAt(wave, at, "fmt ")) {
      if (size < 16 || body + 16 > wave.size()) throw std::runtime_error("wave format chunk too short");
      if (U16At(wave, body) != 1 || U16At(wave, body + 14) != 16)
        throw std::runtime_error("wave is not 16-bit PCM");
      pcm.channels = static_cast<int>(U16At(wave, body + 2));
      pcm.rate = static_cast<int>(U32At(wave, body + 4));
      if (pcm.channels < 1) throw std::runtime_error("wave has no channels");
      haveFormat = true;
    } else if (TagAt(wave, at, "data")) {
      if (!haveFormat) throw std::runtime_error("wave data before its format");
      std::size_t bytes = wave.size() - body;
      if (size < bytes) bytes = size;
      bytes -= bytes % (2 * static_cast<std::size_t>(pcm.channels));
      pcm.samples.resize(bytes / 2);
      for (std::size_t i = 0; i < pcm.samples.size(); ++i)
        pcm.samples[i] = static_cast<std::int16_t>(U16At(wave, body + 2 * i));
      return pcm;
    }
    if (size > wave.size() - body) break;
    at = body + size + (size & 1);
  }
  throw std::runtime_error("wave without sample data");
}

}  // namespace kolbet::mkdata
