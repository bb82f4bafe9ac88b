// The music list: which files of a folder it shows, and the selection handler
// that puts the chosen music into the music item.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "assets/music_list.h"
#include "assets/sound_bank.h"
#include "rules/sound_items.h"
#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

namespace fs = std::filesystem;
using soundtest::Bytes;

std::string FreshFolder(const std::string& name) {
  std::string dir = soundtest::FixtureDir() + "/" + name + "-" + std::to_string(getpid());
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(MusicList, ListsRegularKbmFilesOnly) {
  const std::string dir = FreshFolder("music");
  for (const char* name : {"Landler.kbm", "a.kbm", "Zwiefacher.kbm.kbm", ".kbm", ".versteckt.kbm",
                           "Notiz.txt", "GROSS.KBM", "kbm", "Walzer.kbmx"}) {
    soundtest::WriteFile(dir + "/" + name, Bytes{1});
  }
  fs::create_directory(dir + "/Ordner.kbm");
  ASSERT_EQ(mkfifo((dir + "/Rohr.kbm").c_str(), 0600), 0);
  fs::create_symlink(dir + "/Landler.kbm", dir + "/Verweis.kbm");
  fs::create_symlink(dir + "/nirgends", dir + "/Kaputt.kbm");

  TMusicList list;
  list.Entries = {"old"};
  list.Selected = 0;
  GetKBMFiles(list, dir);
  EXPECT_EQ(list.Selected, -1);
  std::vector<std::string> got = list.Entries;
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<std::string>{"Landler", "Verweis", "Zwiefacher.kbm", "a"}));

  GetKBMFiles(list, dir + "/gibt-es-nicht");
  EXPECT_TRUE(list.Entries.empty());
}

TEST(MusicList, ChoosingMusicLoadsAndStartsIt) {
  std::vector<soundtest::BankItem> items(ItemCount);
  for (auto& item : items) item.Wave = soundtest::SoxTone(0.05);
  items[ItemMusic] = {"Musi", true, {}, soundtest::SoxTone(0.5)};
  const std::string dir = FreshFolder("choose");
  const Bytes landler = soundtest::Sox("-r 22050 -b 16 -c 2", "synth 1.0 sine 330");
  soundtest::WriteFile(dir + "/Landler.kbm", landler);
  soundtest::WriteFile(dir + "/Kaputt.kbm", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '});
  soundtest::WriteFile(dir + "/Kolbet.snd", soundtest::MakeBank(items));

  auto device = soundtest::OpenNullDevice();
  SoundDevice& sound = *device;
  TSoundBank bank(std::move(device));
  bank.LoadSoundBank(dir + "/Kolbet.snd");
  TMusicList list;
  GetKBMFiles(list, dir);
  list.Selected = static_cast<int>(std::find(list.Entries.begin(), list.Entries.end(), "Landler") -
                                   list.Entries.begin());
  TSettings settings;
  const SoundBuffer fromBank = bank.Item(ItemMusic).MainBuffer;
  DmusiChange(bank, list, settings, dir);
  const SoundBuffer music = bank.Item(ItemMusic).MainBuffer;
  EXPECT_EQ(soundtest::Frames(sound, music), ReadWave(landler).Data.size() / 4);  // 16-bit stereo
  EXPECT_TRUE(sound.IsPlaying(music));
  EXPECT_TRUE(bank.Item(ItemMusic).Looped);
  // The main buffer was made anew from the music file: it holds the second of
  // the file, so it takes a position past the end of the bank's half second.
  EXPECT_NE(music, fromBank);
  sound.Stop(music);
  sound.SetPosition(music, 16000);
  EXPECT_EQ(sound.Position(music), 16000u);

  // Music off: the choice is loaded but not started.
  settings.MusicVolume = -1;
  DmusiChange(bank, list, settings, dir);
  EXPECT_FALSE(sound.IsPlaying(bank.Item(ItemMusic).MainBuffer));

  // A damaged music file: the error is reported, the music stays stopped and
  // the main buffer still holds the previous music.
  settings.MusicVolume = 2;
  DmusiChange(bank, list, settings, dir);
  const SoundBuffer before = bank.Item(ItemMusic).MainBuffer;
  list.Entries.push_back("Kaputt");
  list.Entries.push_back("Weg");
  list.Selected = static_cast<int>(list.Entries.size()) - 2;
  try {
    DmusiChange(bank, list, settings, dir);
    ADD_FAILURE() << "no error";
  } catch (const DataError& e) {
    EXPECT_STREQ(e.what(), "Wave is invalid");
  }
  EXPECT_EQ(bank.Item(ItemMusic).MainBuffer, before);
  EXPECT_FALSE(sound.IsPlaying(before));
  list.Selected += 1;
  try {
    DmusiChange(bank, list, settings, dir);
    ADD_FAILURE() << "no error";
  } catch (const DataError& e) {
    EXPECT_EQ(e.what(), "Datei " + (fs::path(dir) / "Weg.kbm").string() + " kann nicht geöffnet werden");
  }

  // No entry selected: the music item plays what it holds, from the start.
  list.Selected = -1;
  DmusiChange(bank, list, settings, dir);
  EXPECT_TRUE(sound.IsPlaying(before));
}

}  // namespace
}  // namespace kolbet
