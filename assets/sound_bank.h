#pragma once
// The sound bank `Saunds`: the numbered items of "Kolbet.snd", each a wave
// with its main buffer on the sound device and the voices that play copies of
// it. Without a device every operation that would sound does nothing, and the
// game runs silent.

#include <memory>
#include <string>
#include <vector>

#include "assets/data_error.h"
#include "assets/wave.h"
#include "game/ports.h"
#include "game/table_state.h"
#include "platform/sound_device.h"

namespace kolbet {

struct TSoundItem {
  std::string Name;         // kept, never used to find an item
  bool Looped = false;      // repeats until stopped, from the main buffer
  int MaxPlayingCount = 0;  // most voices at once; 0: no limit
  // Without a device the wave is kept whole. Once the device holds its
  // samples the bank drops them and keeps the format record only: the main
  // buffer is then the one copy, and a buffer made anew plays from it.
  TWave Wave;
  bool SamplesOnDevice = false;
  int Volume = FullVolume;  // hundredths of a decibel, given to every start
  SoundBuffer MainBuffer = NoSoundBuffer;
  std::vector<SoundBuffer> Voices;  // oldest first
};

// "Der Index der Liste überschreitet das Maximum (7)"
DataError ListIndexError(int index);
// "IDirectSoundBuffer not made": the item has no main buffer while the device runs.
DataError BufferNotMade();

// The volume of a level of the settings (-1 to 4) in hundredths of a decibel.
int LevelVolume(int level);

class TSoundBank final : public SoundPort {
 public:
  // Without a device (nullptr) the bank still loads but never sounds. A play
  // that waits for its sound's end waits through `clock`; without one the
  // thread sleeps meanwhile.
  explicit TSoundBank(std::unique_ptr<SoundDevice> device = nullptr, ClockPort* clock = nullptr);
  ~TSoundBank() override;
  TSoundBank(const TSoundBank&) = delete;
  TSoundBank& operator=(const TSoundBank&) = delete;

  // Replaces all items by those of the bank file. On an error the items stay as they were.
  void LoadSoundBank(const std::string& fileName);
  // Starts the item; with `wait`, returns when it has finished. A looped item
  // repeats until stopped and the call returns at once.
  void PlaySound(int item, bool wait) override;
  // Silences the main buffer and every voice of the item.
  void StopSound(int item) override;
  // Volume in hundredths of a decibel for the item. The main buffer changes at
  // once; voices take it when next started.
  void SetItemVolume(int item, int volume);
  // Replaces the item's wave by a RIFF WAVE file. On an error the wave stays as it was.
  void LoadItemWave(int item, const std::string& fileName);
  // Makes the item's main buffer anew from its wave, or from the samples the
  // device already holds when the wave has not been replaced since.
  void ReloadItem(int item);
  // Applies the music and sound levels to all items.
  void SetStats(const TSettings& settings);

  bool Running() const { return Device != nullptr; }
  int Count() const override { return static_cast<int>(Saunds.size()); }
  const TSoundItem& Item(int item) const;
  SoundDevice* SoundService() const { return Device.get(); }

 private:
  TSoundItem& At(int item);
  void ReleaseVoices(TSoundItem& item);
  void ReleaseBuffers(TSoundItem& item);
  void MakeMainBuffer(TSoundItem& item);
  SoundBuffer ChooseVoice(TSoundItem& item);

  std::unique_ptr<SoundDevice> Device;
  ClockPort* Clock;
  std::vector<TSoundItem> Saunds;
};

}  // namespace kolbet
