#include "platform/openal_sound_device.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/efx.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assets/wave.h"
#include "platform/playable_samples.h"

namespace kolbet {

// The samples of one wave, held once in an OpenAL buffer and shared by the
// main buffer and its voices; freed when the last of them is released.
struct OpenAlSoundDevice::TSamples {
  ALuint Buffer = 0;
  ~TSamples() {
    if (Buffer != 0) alDeleteBuffers(1, &Buffer);
  }
};

namespace {

// Opening the device on a machine without a sound card makes OpenAL Soft and
// the sound system beneath it print their complaints on the terminal; the game
// runs silent then, and says nothing. Their messages are held back while the
// device is opened: OpenAL Soft's own log is turned off unless the user asks
// for it, and whatever the libraries below write to standard error is dropped.
class QuietStandardError {
 public:
  QuietStandardError() {
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStandardError() {
    std::fflush(stderr);
    if (saved_ >= 0) {
      dup2(saved_, STDERR_FILENO);
      close(saved_);
    }
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

std::unique_ptr<OpenAlSoundDevice> OpenAlSoundDevice::Open() {
  ALCdevice* device = nullptr;
  {
    const QuietStandardError quiet;
    device = alcOpenDevice(nullptr);
  }
  if (device == nullptr) return nullptr;
  // The game uses no effects: without auxiliary sends, none of OpenAL Soft's
  // preallocated voices reserves room for them (about 1 MB in all).
  // OpenAL Soft's output limiter costs more processor time than all the
  // mixing of the game (over 2 % of a core while the music plays); the game's
  // volumes stay at or below full scale, so it goes without.
  const bool limiter = alcIsExtensionPresent(device, "ALC_SOFT_output_limiter") == ALC_TRUE;
  const ALCint noSends[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
  const ALCint noSendsNoLimiter[] = {ALC_MAX_AUXILIARY_SENDS, 0, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE, 0};
  ALCcontext* context = alcCreateContext(device, limiter ? noSendsNoLimiter : noSends);
  if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
    if (context != nullptr) alcDestroyContext(context);
    alcCloseDevice(device);
    return nullptr;
  }
  return std::unique_ptr<OpenAlSoundDevice>(new OpenAlSoundDevice(device, context));
}

OpenAlSoundDevice::OpenAlSoundDevice(ALCdevice* device, ALCcontext* context)
    : Device(device), Context(context) {}

OpenAlSoundDevice::~OpenAlSoundDevice() {
  MakeCurrent();
  for (auto& [id, entry] : Entries) {
    if (entry.Source != 0) alDeleteSources(1, &entry.Source);
  }
  Entries.clear();  // the sources are gone, so the buffers can go too
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(Context);
  alcCloseDevice(Device);
}

void OpenAlSoundDevice::MakeCurrent() {
  // Operations go to the current context; another device of the process may
  // have made its own current meanwhile.
  if (alcGetCurrentContext() != Context) alcMakeContextCurrent(Context);
}

OpenAlSoundDevice::TEntry* OpenAlSoundDevice::Find(SoundBuffer buffer) {
  const auto it = Entries.find(buffer);
  if (it == Entries.end()) return nullptr;
  MakeCurrent();
  return &it->second;
}

SoundBuffer OpenAlSoundDevice::Add(std::shared_ptr<TSamples> samples) {
  TEntry entry;
  if (samples != nullptr) {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR) {
      alSourcei(source, AL_BUFFER, static_cast<ALint>(samples->Buffer));
      if (alGetError() == AL_NO_ERROR) {
        entry.Source = source;
        entry.Samples = std::move(samples);
      } else {
        alDeleteSources(1, &source);
      }
    }
  }
  const SoundBuffer id = NextId++;
  Entries.emplace(id, std::move(entry));
  return id;
}

SoundBuffer OpenAlSoundDevice::MakeBuffer(std::span<const std::uint8_t> format,
                                          std::span<const std::uint8_t> samples) {
  MakeCurrent();
  std::shared_ptr<TSamples> shared;
  const auto parsed = ParseWaveFormat(format);
  const auto playable = parsed ? MakePlayable(*parsed, samples) : std::nullopt;
  if (playable && !playable->Bytes.empty()) {
    const ALenum alFormat = playable->Channels == 1
                                ? (playable->Bits == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16)
                                : (playable->Bits == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16);
    alGetError();
    auto made = std::make_shared<TSamples>();
    alGenBuffers(1, &made->Buffer);
    if (alGetError() != AL_NO_ERROR) {
      made->Buffer = 0;
    } else {
      alBufferData(made->Buffer, alFormat, playable->Bytes.data(),
                   static_cast<ALsizei>(playable->Bytes.size()), playable->Rate);
      if (alGetError() == AL_NO_ERROR) shared = std::move(made);
    }
  }
  // Without samples OpenAL can play, the buffer is made all the same and stays silent.
  return Add(std::move(shared));
}

SoundBuffer OpenAlSoundDevice::MakeVoice(SoundBuffer main) {
  const TEntry* entry = Find(main);
  MakeCurrent();
  return Add(entry != nullptr ? entry->Samples : nullptr);
}

bool OpenAlSoundDevice::HoldsSamples(SoundBuffer buffer) {
  const TEntry* entry = Find(buffer);
  return entry != nullptr && entry->Samples != nullptr;
}

void OpenAlSoundDevice::Release(SoundBuffer buffer) {
  TEntry* entry = Find(buffer);
  if (entry == nullptr) return;
  if (entry->Source != 0) alDeleteSources(1, &entry->Source);
  Entries.erase(buffer);
}

void OpenAlSoundDevice::Play(SoundBuffer buffer, bool repeat) {
  TEntry* entry = Find(buffer);
  if (entry == nullptr || entry->Source == 0) return;
  alSourcei(entry->Source, AL_LOOPING, repeat ? AL_TRUE : AL_FALSE);
  alSourcePlay(entry->Source);
}

void OpenAlSoundDevice::Stop(SoundBuffer buffer) {
  TEntry* entry = Find(buffer);
  if (entry == nullptr || entry->Source == 0) return;
  // Pausing keeps the play position, as a stopped buffer does.
  ALint state = AL_STOPPED;
  alGetSourcei(entry->Source, AL_SOURCE_STATE, &state);
  if (state == AL_PLAYING) alSourcePause(entry->Source);
}

void OpenAlSoundDevice::SetPosition(SoundBuffer buffer, std::uint32_t frame) {
  TEntry* entry = Find(buffer);
  if (entry == nullptr || entry->Source == 0) return;
  if (frame == 0) {
    // Back to the start; a source that was playing stops there.
    alSourceRewind(entry->Source);
    return;
  }
  alGetError();
  alSourcei(entry->Source, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
  alGetError();  // a position past the end is refused and the old one stays
}

std::uint32_t OpenAlSoundDevice::Position(SoundBuffer buffer) {
  TEntry* entry = Find(buffer);
  if (entry == nullptr || entry->Source == 0) return 0;
  ALint offset = 0;
  alGetSourcei(entry->Source, AL_SAMPLE_OFFSET, &offset);
  return offset > 0 ? static_cast<std::uint32_t>(offset) : 0;
}

bool OpenAlSoundDevice::IsPlaying(SoundBuffer buffer) {
  TEntry* entry = Find(buffer);
  if (entry == nullptr || entry->Source == 0) return false;
  ALint state = AL_STOPPED;
  alGetSourcei(entry->Source, AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

void OpenAlSoundDevice::SetVolume(SoundBuffer buffer, int volume) {
  TEntry* entry = Find(buffer);
  if (entry == nullptr || volume > FullVolume || volume < SilentVolume) return;
  entry->Volume = volume;
  if (entry->Source != 0) alSourcef(entry->Source, AL_GAIN, std::pow(10.0f, volume / 2000.0f));
}

int OpenAlSoundDevice::Volume(SoundBuffer buffer) {
  const TEntry* entry = Find(buffer);
  return entry != nullptr ? entry->Volume : FullVolume;
}

float OpenAlSoundDevice::Gain(SoundBuffer buffer) {
  const TEntry* entry = Find(buffer);
  if (entry == nullptr || entry->Source == 0) return 1.0f;
  ALfloat gain = 1.0f;
  alGetSourcef(entry->Source, AL_GAIN, &gain);
  return gain;
}

std::unique_ptr<SoundDevice> OpenSoundDevice() { return OpenAlSoundDevice::Open(); }

}  // namespace kolbet
