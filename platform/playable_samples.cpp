#include "platform/playable_samples.h"

#include <cmath>
#include <cstring>

namespace kolbet {

namespace {

std::int16_t FromFloat(double v) {
  if (!(v > -1.0)) return -32768;  // also NaN
  if (v >= 1.0) return 32767;
  return static_cast<std::int16_t>(std::lround(v * 32767.0));
}

void Put16(std::uint8_t* out, std::int16_t v) {
  out[0] = static_cast<std::uint8_t>(v & 0xFF);
  out[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

}  // namespace

std::optional<TPlayableSamples> MakePlayable(const TWaveFormat& format,
                                             std::span<const std::uint8_t> samples) {
  const int bits = format.BitsPerSample;
  const bool pcm = format.SampleTag == WaveFormatPcm;
  const bool isFloat = format.SampleTag == WaveFormatFloat;
  if (!pcm && !isFloat) return std::nullopt;
  if (format.Channels < 1 || format.Channels > 2 || format.SamplesPerSec == 0) return std::nullopt;
  if (pcm && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  if (isFloat && bits != 32 && bits != 64) return std::nullopt;
  const std::size_t sampleBytes = static_cast<std::size_t>(bits / 8);
  const std::size_t frameBytes = sampleBytes * format.Channels;
  if (format.BlockAlign != frameBytes) return std::nullopt;

  TPlayableSamples out;
  out.Channels = format.Channels;
  out.Rate = static_cast<int>(format.SamplesPerSec);
  const std::size_t count = samples.size() / frameBytes * format.Channels;
  if (pcm && bits <= 16) {
    out.Bits = bits;
    out.Bytes.assign(samples.begin(), samples.begin() + count * sampleBytes);
    return out;
  }
  out.Bits = 16;
  out.Bytes.resize(count * 2);
  const std::uint8_t* in = samples.data();
  for (std::size_t i = 0; i < count; ++i, in += sampleBytes) {
    std::int16_t v;
    if (pcm) {
      // Little-endian and left-justified: the two highest bytes are the
      // sample at 16 bits.
      v = static_cast<std::int16_t>(in[sampleBytes - 2] | in[sampleBytes - 1] << 8);
    } else if (bits == 32) {
      float f;
      std::memcpy(&f, in, 4);
      v = FromFloat(f);
    } else {
      double d;
      std::memcpy(&d, in, 8);
      v = FromFloat(d);
    }
    Put16(&out.Bytes[i * 2], v);
  }
  return out;
}

}  // namespace kolbet
