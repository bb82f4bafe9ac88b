// The sound bank at work: loading, the silent game without a device, and the
// OpenAL device on its null output, which plays in real time.

#include <gtest/gtest.h>

#include <thread>

#include "assets/sound_bank.h"
#include "rules/sound_items.h"
#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

using soundtest::Bytes;
using soundtest::BankItem;
using soundtest::Seconds;

template <class F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const DataError& e) {
    return e.what();
  }
  return "no error";
}

// Waits (at most 10 s) until the buffer has stopped sounding.
void AwaitSilence(SoundDevice& device, SoundBuffer buffer) {
  for (int i = 0; i < 1000 && device.IsPlaying(buffer); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

struct Banked {
  std::unique_ptr<TSoundBank> Bank;
  OpenAlSoundDevice* Device = nullptr;
};

// A bank on the null output, loaded from a file with the given items.
Banked LoadOnDevice(const std::vector<BankItem>& items, const std::string& name) {
  Banked b;
  auto device = soundtest::OpenNullDevice();
  b.Device = device.get();
  b.Bank = std::make_unique<TSoundBank>(std::move(device));
  b.Bank->LoadSoundBank(soundtest::TempFile(name, soundtest::MakeBank(items)));
  return b;
}

TEST(SoundBank, LoadsItemsAndReportsFileErrors) {
  TSoundBank bank;
  const std::string path = soundtest::TempFile("load.snd", soundtest::ToneBank(ItemCount, 0.01));
  bank.LoadSoundBank(path);
  ASSERT_EQ(bank.Count(), ItemCount);
  EXPECT_EQ(bank.Item(77).Name, "Item77");
  EXPECT_EQ(bank.Item(0).MaxPlayingCount, 2);

  EXPECT_EQ(ErrorOf([&] { bank.LoadSoundBank("Kolbet.snd.missing"); }),
            "Datei Kolbet.snd.missing kann nicht geöffnet werden");
  EXPECT_EQ(ErrorOf([&] { bank.LoadSoundBank(soundtest::FixtureDir()); }),
            "Datei " + soundtest::FixtureDir() + " kann nicht geöffnet werden");
  Bytes cut = soundtest::ReadFile(path);
  cut.resize(cut.size() - 3);
  EXPECT_EQ(ErrorOf([&] { bank.LoadSoundBank(soundtest::TempFile("cut.snd", cut)); }), "Stream-Read-Fehler");
  // A failed load leaves the bank as it was.
  EXPECT_EQ(bank.Count(), ItemCount);

  EXPECT_EQ(ErrorOf([&] { bank.SetItemVolume(78, 0); }), "Der Index der Liste überschreitet das Maximum (78)");
  EXPECT_EQ(ErrorOf([&] { bank.LoadItemWave(-1, path); }), "Der Index der Liste überschreitet das Maximum (-1)");
  EXPECT_EQ(ErrorOf([&] { bank.ReloadItem(200); }), "Der Index der Liste überschreitet das Maximum (200)");
}

TEST(SoundBank, SetStatsAppliesTheLevelTable) {
  TSoundBank bank;
  bank.LoadSoundBank(soundtest::TempFile("levels.snd", soundtest::ToneBank(80, 0.01)));
  const int volumes[] = {SilentVolume, -1600, -1200, -800, -400, 0};
  for (int level = -1; level <= 4; ++level) {
    TSettings s;
    s.SoundVolume = level;
    s.MusicVolume = 3 - level;
    bank.SetStats(s);
    EXPECT_EQ(bank.Item(0).Volume, volumes[level + 1]);
    EXPECT_EQ(bank.Item(79).Volume, volumes[level + 1]);  // items past 77 too
    if (s.MusicVolume != -1) {
      EXPECT_EQ(bank.Item(ItemMusic).Volume, volumes[s.MusicVolume + 1]);
    }
  }
  // Music off leaves the music item's volume as it was (-1600 from level 0 before).
  TSettings off;
  off.MusicVolume = -1;
  bank.SetStats(off);
  EXPECT_EQ(bank.Item(ItemMusic).Volume, -1600);
}

// No device: a bank whose items lack waves loads, every operation does
// nothing, and waiting plays return at once.
TEST(SoundBank, RunsSilentWithoutADevice) {
  TSoundBank bank;
  std::vector<BankItem> items(ItemCount);
  items[5].Wave = soundtest::SoxTone(1.0);
  bank.LoadSoundBank(soundtest::TempFile("silent.snd", soundtest::MakeBank(items)));
  EXPECT_FALSE(bank.Running());
  TSettings s;
  bank.SetStats(s);
  EXPECT_LT(Seconds([&] { bank.PlaySound(5, true); }), 0.5);
  bank.PlaySound(0, true);
  bank.PlaySound(500, true);
  bank.StopSound(ItemMusic);
  bank.ReloadItem(5);
  EXPECT_EQ(bank.Item(5).MainBuffer, NoSoundBuffer);
  EXPECT_FALSE(bank.Item(5).Wave.Empty());  // without a device the bank keeps its waves
}

TEST(SoundDevice, NoDeviceMeansSilent) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // In a fresh process, with no output driver that can open, there is no device.
  EXPECT_EXIT(
      {
        setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
        std::exit(OpenSoundDevice() == nullptr ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(SoundDevice, WaitedPlaysLastAsLongAsTheirSound) {
  std::vector<BankItem> items(ItemCount);
  const std::string formats[] = {"-r 22050 -b 16 -c 1", "-r 44100 -b 16 -c 2", "-r 8000 -b 8 -c 1",
                                 "-r 22050 -b 24 -c 1", "-r 22050 -b 32 -c 2 -e floating-point"};
  for (int i = 0; i < ItemCount; ++i) items[i].Wave = soundtest::SoxTone(0.05);
  for (int i = 0; i < 5; ++i) items[i].Wave = soundtest::Sox(formats[i], "synth 0.3 sine 440");
  Banked b = LoadOnDevice(items, "waited.snd");
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(formats[i]);
    const double took = Seconds([&] { b.Bank->PlaySound(i, true); });
    EXPECT_GT(took, 0.25);
    EXPECT_LT(took, 5.0);
  }
  // At sound level -1 a sound still plays, silently, for its whole length.
  TSettings off;
  off.SoundVolume = -1;
  b.Bank->SetStats(off);
  const double took = Seconds([&] { b.Bank->PlaySound(0, true); });
  EXPECT_GT(took, 0.25);
  EXPECT_LT(took, 5.0);
  EXPECT_NEAR(b.Device->Gain(b.Bank->Item(0).Voices.front()), 1e-5f, 1e-6f);
  // Without waiting the call returns while the sound goes on.
  b.Bank->PlaySound(1, false);
  EXPECT_TRUE(b.Device->IsPlaying(b.Bank->Item(1).Voices.front()));
  b.Bank->StopSound(1);
  EXPECT_FALSE(b.Device->IsPlaying(b.Bank->Item(1).Voices.front()));
}

TEST(SoundDevice, VoicesAreReusedUpToTheLimit) {
  std::vector<BankItem> items(3);
  items[0] = {"two", false, 2, soundtest::SoxTone(3.0)};
  items[1] = {"any", false, 0, soundtest::SoxTone(0.2)};
  items[2] = {"one", false, 1, soundtest::SoxTone(3.0)};
  Banked b = LoadOnDevice(items, "voices.snd");
  TSoundBank& bank = *b.Bank;
  SoundDevice& device = *b.Device;

  // Limit 2: the third start restarts the oldest voice from the beginning,
  // which becomes the newest.
  bank.PlaySound(0, false);
  const SoundBuffer first = bank.Item(0).Voices.at(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  bank.PlaySound(0, false);
  const SoundBuffer second = bank.Item(0).Voices.at(1);
  // Both voices advance together from here, so the restarted one stays behind.
  for (int i = 0; i < 500 && device.Position(second) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  bank.PlaySound(0, false);
  ASSERT_EQ(bank.Item(0).Voices, (std::vector<SoundBuffer>{second, first}));
  EXPECT_TRUE(device.IsPlaying(first));
  EXPECT_TRUE(device.IsPlaying(second));
  EXPECT_LT(device.Position(first), device.Position(second));
  bank.StopSound(0);
  EXPECT_FALSE(device.IsPlaying(first) || device.IsPlaying(second));
  EXPECT_EQ(bank.Item(0).Voices.size(), 2u);  // kept for reuse

  // Limit 1 restarts its one voice.
  bank.PlaySound(2, false);
  bank.PlaySound(2, false);
  EXPECT_EQ(bank.Item(2).Voices.size(), 1u);

  // No limit: a new voice whenever all are busy; finished ones are reused in list order.
  for (int i = 0; i < 3; ++i) bank.PlaySound(1, false);
  const std::vector<SoundBuffer> voices = bank.Item(1).Voices;
  ASSERT_EQ(voices.size(), 3u);
  for (SoundBuffer v : voices) AwaitSilence(device, v);
  bank.PlaySound(1, false);
  EXPECT_EQ(bank.Item(1).Voices, voices);
  EXPECT_TRUE(device.IsPlaying(voices[0]));
  EXPECT_FALSE(device.IsPlaying(voices[1]) || device.IsPlaying(voices[2]));
  bank.PlaySound(1, false);
  EXPECT_TRUE(device.IsPlaying(voices[1]));
  EXPECT_EQ(bank.Item(1).Voices, voices);
}

TEST(SoundDevice, LoopedItemsRepeatFromTheirMainBuffer) {
  std::vector<BankItem> items(2);
  items[0] = {"loop", true, {}, soundtest::SoxTone(0.2)};
  items[1] = {"long loop", true, {}, soundtest::SoxTone(2.0)};
  Banked b = LoadOnDevice(items, "looped.snd");
  const SoundBuffer main = b.Bank->Item(0).MainBuffer;
  // Waiting has no effect on a looped item: the call returns at once.
  EXPECT_LT(Seconds([&] { b.Bank->PlaySound(1, true); }), 1.0);
  b.Bank->PlaySound(0, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_TRUE(b.Device->IsPlaying(main));
  EXPECT_TRUE(b.Bank->Item(0).Voices.empty());
  b.Bank->StopSound(0);
  EXPECT_FALSE(b.Device->IsPlaying(main));
  // Started again, it plays from the beginning.
  b.Bank->PlaySound(0, false);
  EXPECT_TRUE(b.Device->IsPlaying(main));
  EXPECT_LT(b.Device->Position(main), 22050u / 10);
}

TEST(SoundDevice, VolumeChangesReachLoopsAtOnceAndVoicesAtTheirNextStart) {
  std::vector<BankItem> items(ItemCount);
  for (auto& item : items) item.Wave = soundtest::SoxTone(0.05);
  items[ItemMusic] = {"music", true, {}, soundtest::SoxTone(2.0)};
  items[60] = {"phrase", false, 0, soundtest::SoxTone(2.0)};
  Banked b = LoadOnDevice(items, "volume.snd");
  TSoundBank& bank = *b.Bank;
  OpenAlSoundDevice& device = *b.Device;
  TSettings s;
  s.MusicVolume = 4;
  s.SoundVolume = 4;
  bank.SetStats(s);
  bank.PlaySound(ItemMusic, false);
  bank.PlaySound(60, false);
  const SoundBuffer phrase = bank.Item(60).Voices.at(0);
  EXPECT_FLOAT_EQ(device.Gain(phrase), 1.0f);

  s.MusicVolume = 2;  // -800: gain 10^-0.4
  s.SoundVolume = 0;  // -1600: gain 10^-0.8
  bank.SetStats(s);
  EXPECT_NEAR(device.Gain(bank.Item(ItemMusic).MainBuffer), 0.398f, 0.001f);
  EXPECT_FLOAT_EQ(device.Gain(phrase), 1.0f);  // the phrase already sounding keeps its volume
  bank.PlaySound(60, false);
  EXPECT_NEAR(device.Gain(bank.Item(60).Voices.at(1)), 0.158f, 0.001f);

  // A level the device refuses (+400) is ignored: the music keeps its volume.
  s.MusicVolume = 5;
  bank.SetStats(s);
  EXPECT_EQ(bank.Item(ItemMusic).Volume, 400);
  EXPECT_NEAR(device.Gain(bank.Item(ItemMusic).MainBuffer), 0.398f, 0.001f);
  EXPECT_EQ(device.Volume(bank.Item(ItemMusic).MainBuffer), -800);
}

TEST(SoundDevice, ItemsWithoutWaveOrPlayableFormat) {
  std::vector<BankItem> items(ItemCount);
  for (auto& item : items) item.Wave = soundtest::SoxTone(0.05);
  items[3].Wave.reset();
  items[4] = {"loop", true, {}, {}};
  items[5].Wave = soundtest::Sox("-r 8000 -c 1 -e mu-law", "synth 1.0 sine 440");
  Banked b = LoadOnDevice(items, "nowave.snd");
  TSoundBank& bank = *b.Bank;

  // With the device running, an item without a wave has no main buffer.
  EXPECT_EQ(ErrorOf([&] { bank.SetStats(TSettings{}); }), "IDirectSoundBuffer not made");
  EXPECT_EQ(ErrorOf([&] { bank.StopSound(3); }), "IDirectSoundBuffer not made");
  EXPECT_EQ(ErrorOf([&] { bank.PlaySound(4, false); }), "IDirectSoundBuffer not made");
  EXPECT_EQ(ErrorOf([&] { bank.PlaySound(3, true); }), "no error");  // nothing sounds
  EXPECT_EQ(ErrorOf([&] { bank.PlaySound(ItemCount, true); }),
            "Der Index der Liste überschreitet das Maximum (78)");

  // A format the device cannot play leaves the item silent without an error.
  EXPECT_LT(Seconds([&] { bank.PlaySound(5, true); }), 0.5);
  bank.SetItemVolume(5, -400);
  bank.StopSound(5);
}

TEST(SoundDevice, ReloadedItemsPlayTheirNewWave) {
  std::vector<BankItem> items(1);
  items[0] = {"short", false, 0, soundtest::SoxTone(0.05)};
  Banked b = LoadOnDevice(items, "reload.snd");
  TSoundBank& bank = *b.Bank;
  // A running bank leaves the samples to the device, memory and all, and
  // keeps the format record.
  auto keptOnDeviceOnly = [&] {
    return bank.Item(0).SamplesOnDevice && bank.Item(0).Wave.Data.capacity() == 0 && !bank.Item(0).Wave.Format.empty();
  };
  EXPECT_TRUE(keptOnDeviceOnly());
  EXPECT_LT(Seconds([&] { bank.PlaySound(0, true); }), 0.3);
  bank.LoadItemWave(0, soundtest::SoxFile("-r 22050 -b 16 -c 1", "synth 0.4 sine 220"));
  bank.ReloadItem(0);
  EXPECT_TRUE(keptOnDeviceOnly());
  EXPECT_GT(Seconds([&] { bank.PlaySound(0, true); }), 0.35);

  // A file that cannot be read leaves the wave and the buffer as they were.
  const SoundBuffer main = bank.Item(0).MainBuffer;
  const std::string junk = soundtest::TempFile("junk.wav", Bytes{'J', 'U', 'N', 'K'});
  EXPECT_EQ(ErrorOf([&] { bank.LoadItemWave(0, junk); }), "Stream-Read-Fehler");
  EXPECT_EQ(bank.Item(0).MainBuffer, main);
  bank.ReloadItem(0);
  EXPECT_GT(Seconds([&] { bank.PlaySound(0, true); }), 0.35);
}

}  // namespace
}  // namespace kolbet
