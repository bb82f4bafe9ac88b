#include "assets/sound_bank.h"

#include <algorithm>
#include <chrono>

#include "assets/sound_bank_file.h"
#include "game/system_clock.h"
#include "rules/sound_items.h"

namespace kolbet {

namespace {

// How often a waiting play looks whether its voice still sounds.
constexpr auto WaitPoll = std::chrono::milliseconds(10);

}  // namespace

DataError ListIndexError(int index) {
  return DataError("Der Index der Liste überschreitet das Maximum (" + std::to_string(index) + ")");
}

DataError BufferNotMade() { return DataError("IDirectSoundBuffer not made"); }

int LevelVolume(int level) { return level == -1 ? SilentVolume : level * 400 - 1600; }

TSoundBank::TSoundBank(std::unique_ptr<SoundDevice> device, ClockPort* clock) : Device(std::move(device)), Clock(clock) {
  static SystemClock sleeping;
  if (!Clock) Clock = &sleeping;
}

TSoundBank::~TSoundBank() {
  for (auto& item : Saunds) ReleaseBuffers(item);
}

const TSoundItem& TSoundBank::Item(int item) const {
  if (item < 0 || item >= Count()) throw ListIndexError(item);
  return Saunds[static_cast<std::size_t>(item)];
}

TSoundItem& TSoundBank::At(int item) {
  if (item < 0 || item >= Count()) throw ListIndexError(item);
  return Saunds[static_cast<std::size_t>(item)];
}

void TSoundBank::ReleaseVoices(TSoundItem& item) {
  for (const SoundBuffer voice : item.Voices) Device->Release(voice);
  item.Voices.clear();
}

void TSoundBank::ReleaseBuffers(TSoundItem& item) {
  if (!Running()) return;
  ReleaseVoices(item);
  if (item.MainBuffer != NoSoundBuffer) Device->Release(item.MainBuffer);
  item.MainBuffer = NoSoundBuffer;
}

void TSoundBank::MakeMainBuffer(TSoundItem& item) {
  // Voices play copies of the main buffer; once it holds another sound they
  // would still play the old one, so they go with it, first, leaving their
  // room on the device to the new main buffer.
  ReleaseVoices(item);
  const SoundBuffer made = item.SamplesOnDevice ? Device->MakeVoice(item.MainBuffer)
                                                : Device->MakeBuffer(item.Wave.Format, item.Wave.Data);
  if (item.SamplesOnDevice && !Device->HoldsSamples(made)) {
    // No room on the device for another buffer: the old main buffer, the one
    // holder of the samples, stays.
    Device->Release(made);
  } else {
    if (item.MainBuffer != NoSoundBuffer) Device->Release(item.MainBuffer);
    item.MainBuffer = made;
  }
  Device->SetVolume(item.MainBuffer, item.Volume);
  // The device keeps its own copy of the samples, so the bank lets its copy go,
  // memory and all. Samples the device could not take stay for the next try.
  if (Device->HoldsSamples(item.MainBuffer)) {
    std::vector<std::uint8_t>().swap(item.Wave.Data);
    item.SamplesOnDevice = true;
  }
}

void TSoundBank::LoadSoundBank(const std::string& fileName) {
  std::vector<TBankEntry> entries = ParseSoundBank(ReadFileBytes(fileName, MaxBankFileSize));
  for (auto& item : Saunds) ReleaseBuffers(item);
  Saunds.clear();
  Saunds.reserve(entries.size());
  for (auto& entry : entries) {
    TSoundItem item;
    item.Name = std::move(entry.Name);
    item.Looped = entry.Looped;
    item.MaxPlayingCount = entry.MaxPlayingCount;
    item.Wave = std::move(entry.Wave);
    Saunds.push_back(std::move(item));
  }
  if (!Running()) return;
  for (auto& item : Saunds) {
    if (!item.Wave.Empty()) MakeMainBuffer(item);
  }
}

SoundBuffer TSoundBank::ChooseVoice(TSoundItem& item) {
  for (const SoundBuffer voice : item.Voices) {
    if (!Device->IsPlaying(voice)) return voice;
  }
  if (item.MaxPlayingCount == 0 || static_cast<int>(item.Voices.size()) < item.MaxPlayingCount) {
    if (item.MainBuffer == NoSoundBuffer) return NoSoundBuffer;
    item.Voices.push_back(Device->MakeVoice(item.MainBuffer));
    return item.Voices.back();
  }
  // All voices are busy and no more are allowed: the oldest starts again and
  // becomes the newest.
  std::rotate(item.Voices.begin(), item.Voices.begin() + 1, item.Voices.end());
  return item.Voices.back();
}

void TSoundBank::PlaySound(int itemNumber, bool wait) {
  if (!Running()) return;
  TSoundItem& item = At(itemNumber);
  if (item.Looped) {
    if (item.MainBuffer == NoSoundBuffer) ReloadItem(itemNumber);
    if (item.MainBuffer == NoSoundBuffer) throw BufferNotMade();
    Device->Stop(item.MainBuffer);
    Device->SetPosition(item.MainBuffer, 0);
    Device->Play(item.MainBuffer, true);
    return;
  }
  const SoundBuffer voice = ChooseVoice(item);
  if (voice == NoSoundBuffer) return;
  Device->Stop(voice);
  Device->SetPosition(voice, 0);
  Device->SetVolume(voice, item.Volume);
  Device->Play(voice, false);
  if (!wait) return;
  Clock->WaitUntil([&] { return !Device->IsPlaying(voice); }, WaitPoll);
}

void TSoundBank::StopSound(int itemNumber) {
  if (!Running()) return;
  TSoundItem& item = At(itemNumber);
  if (item.MainBuffer == NoSoundBuffer) throw BufferNotMade();
  Device->Stop(item.MainBuffer);
  for (const SoundBuffer voice : item.Voices) Device->Stop(voice);
}

void TSoundBank::SetItemVolume(int itemNumber, int volume) {
  TSoundItem& item = At(itemNumber);
  item.Volume = volume;
  if (!Running()) return;
  if (item.MainBuffer == NoSoundBuffer) throw BufferNotMade();
  Device->SetVolume(item.MainBuffer, volume);
}

void TSoundBank::LoadItemWave(int itemNumber, const std::string& fileName) {
  TSoundItem& item = At(itemNumber);
  item.Wave = LoadWaveFile(fileName);
  item.SamplesOnDevice = false;  // the main buffer still plays the old wave
}

void TSoundBank::ReloadItem(int itemNumber) {
  TSoundItem& item = At(itemNumber);
  if (!Running() || (item.Wave.Empty() && !item.SamplesOnDevice)) return;
  MakeMainBuffer(item);
}

void TSoundBank::SetStats(const TSettings& settings) {
  if (settings.MusicVolume != -1) SetItemVolume(ItemMusic, LevelVolume(settings.MusicVolume));
  const int volume = LevelVolume(settings.SoundVolume);
  for (int i = 0; i < Count(); ++i) {
    if (i != ItemMusic) SetItemVolume(i, volume);
  }
}

}  // namespace kolbet
