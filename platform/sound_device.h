#pragma once
// The sound device as the sound bank uses it: buffers of samples that play
// once or repeating, voices that sound the samples of a buffer without copying
// them, and a volume in hundredths of a decibel below full volume.

#include <cstdint>
#include <span>

namespace kolbet {

// A buffer on the device; 0 is no buffer.
using SoundBuffer = std::uint32_t;
inline constexpr SoundBuffer NoSoundBuffer = 0;

// Volumes the device takes: 0 is full volume, -10000 silence.
inline constexpr int FullVolume = 0;
inline constexpr int SilentVolume = -10000;

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;

  // Makes a buffer holding the samples, laid out as the wave format record
  // says. A format the device cannot play gives a buffer that stays silent:
  // it starts and stops like any other but never sounds.
  virtual SoundBuffer MakeBuffer(std::span<const std::uint8_t> format,
                                 std::span<const std::uint8_t> samples) = 0;
  // A further buffer that plays the samples of `main`, sharing them. It
  // stays usable when `main` is released.
  virtual SoundBuffer MakeVoice(SoundBuffer main) = 0;
  // Whether the buffer sounds samples the device holds: false for a silent
  // buffer, whose samples the device could not take.
  virtual bool HoldsSamples(SoundBuffer buffer) = 0;
  // Stops the buffer and frees it; the samples go when no voice uses them.
  virtual void Release(SoundBuffer buffer) = 0;

  // Starts the buffer from its play position, once or repeating until stopped.
  virtual void Play(SoundBuffer buffer, bool repeat) = 0;
  // Stops the buffer where it is.
  virtual void Stop(SoundBuffer buffer) = 0;
  // The play position in sample frames; a buffer that has played to its end
  // starts again from 0.
  virtual void SetPosition(SoundBuffer buffer, std::uint32_t frame) = 0;
  virtual std::uint32_t Position(SoundBuffer buffer) = 0;
  // Whether the buffer is sounding now.
  virtual bool IsPlaying(SoundBuffer buffer) = 0;
  // Hundredths of a decibel from SilentVolume to FullVolume; any other value
  // is refused and the buffer keeps its volume.
  virtual void SetVolume(SoundBuffer buffer, int volume) = 0;
  virtual int Volume(SoundBuffer buffer) = 0;
};

}  // namespace kolbet
