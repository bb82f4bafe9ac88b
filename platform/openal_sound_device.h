#pragma once
// The sound device on OpenAL Soft. A buffer is an OpenAL source playing an
// OpenAL buffer that holds the samples once; a voice is a further source on
// the same OpenAL buffer. Volume v (hundredths of a decibel) is the gain
// 10^(v/2000).

#include <memory>
#include <unordered_map>

#include "platform/sound_device.h"

struct ALCdevice_struct;
struct ALCcontext_struct;

namespace kolbet {

class OpenAlSoundDevice final : public SoundDevice {
 public:
  // Opens the default output device; nothing when there is none, and the game
  // then runs silent.
  static std::unique_ptr<OpenAlSoundDevice> Open();
  ~OpenAlSoundDevice() override;
  OpenAlSoundDevice(const OpenAlSoundDevice&) = delete;
  OpenAlSoundDevice& operator=(const OpenAlSoundDevice&) = delete;

  SoundBuffer MakeBuffer(std::span<const std::uint8_t> format,
                         std::span<const std::uint8_t> samples) override;
  SoundBuffer MakeVoice(SoundBuffer main) override;
  bool HoldsSamples(SoundBuffer buffer) override;
  void Release(SoundBuffer buffer) override;
  void Play(SoundBuffer buffer, bool repeat) override;
  void Stop(SoundBuffer buffer) override;
  void SetPosition(SoundBuffer buffer, std::uint32_t frame) override;
  std::uint32_t Position(SoundBuffer buffer) override;
  bool IsPlaying(SoundBuffer buffer) override;
  void SetVolume(SoundBuffer buffer, int volume) override;
  int Volume(SoundBuffer buffer) override;

  // The gain OpenAL holds for the buffer's source (1 for a silent buffer).
  float Gain(SoundBuffer buffer);

 private:
  struct TSamples;
  struct TEntry {
    unsigned Source = 0;  // 0: a silent buffer
    std::shared_ptr<TSamples> Samples;
    int Volume = FullVolume;
  };

  OpenAlSoundDevice(ALCdevice_struct* device, ALCcontext_struct* context);
  void MakeCurrent();
  TEntry* Find(SoundBuffer buffer);
  SoundBuffer Add(std::shared_ptr<TSamples> samples);

  ALCdevice_struct* Device;
  ALCcontext_struct* Context;
  std::unordered_map<SoundBuffer, TEntry> Entries;
  SoundBuffer NextId = 1;
};

// The real default device, or nothing when none can be opened.
std::unique_ptr<SoundDevice> OpenSoundDevice();

}  // namespace kolbet
