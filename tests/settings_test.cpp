// The stored settings: what a start reads from the settings file, what a save
// leaves in it, and that no failed or interrupted save damages it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>

#include "assets/settings.h"
#include "assets/sound_bank.h"
#include "rules/sound_items.h"
#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

namespace fs = std::filesystem;
using soundtest::Bytes;

// Points XDG_CONFIG_HOME at a new empty folder and returns the settings file's path.
std::string FreshConfig() {
  static int count = 0;
  const std::string home = soundtest::FixtureDir() + "/config-" + std::to_string(getpid()) + "-" +
                           std::to_string(++count);
  fs::remove_all(home);
  fs::create_directories(home);
  // Readable by the unprivileged user the refused-write cases run as.
  for (fs::path p = home; p != p.parent_path() && p.string().starts_with(soundtest::FixtureDir()); p = p.parent_path())
    fs::permissions(p, fs::perms(0755));
  setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  return home + "/DRN/Kolbet.conf";
}

void Store(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  soundtest::WriteFile(path, Bytes(text.begin(), text.end()));
}

std::string Text(const std::string& path) {
  if (!fs::exists(path)) return "(none)";
  const Bytes bytes = soundtest::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string LoadError(TSettings& settings, TMusicList& music, TSoundBank* bank = nullptr,
                      const std::string& folder = "") {
  try {
    LoadOptions(settings, music, bank, folder);
  } catch (const DataError& e) {
    return e.what();
  }
  return "";
}

// A bank on the null output and two music files in `folder`.
struct MusicRig {
  std::string Folder = soundtest::FixtureDir() + "/music-" + std::to_string(getpid());
  std::unique_ptr<TSoundBank> Bank;
  SoundDevice* Device = nullptr;
  TMusicList List{{"Landler", "Walzer"}, -1};

  MusicRig() {
    fs::create_directories(Folder);
    soundtest::WriteFile(Folder + "/Landler.kbm", soundtest::Sox("-r 22050 -b 16 -c 1", "synth 0.3 sine 330"));
    soundtest::WriteFile(Folder + "/Walzer.kbm", soundtest::Sox("-r 22050 -b 16 -c 1", "synth 0.4 sine 550"));
    auto device = soundtest::OpenNullDevice();
    Device = device.get();
    Bank = std::make_unique<TSoundBank>(std::move(device));
    Bank->LoadSoundBank(soundtest::TempFile("Kolbet.snd", soundtest::ToneBank(ItemCount, 0.05)));
  }
  // The music item sounds (from a voice: the test bank's items are not looped).
  bool MusicSounds() const {
    const TSoundItem& music = Bank->Item(ItemMusic);
    return std::any_of(music.Voices.begin(), music.Voices.end(), [&](SoundBuffer b) { return Device->IsPlaying(b); });
  }
  // The music sounds with the length of the entry's file (each file has its own length).
  bool Plays(const std::string& entry) const {
    return MusicSounds() && soundtest::Frames(*Device, Bank->Item(ItemMusic).MainBuffer) ==
                                ReadWave(soundtest::ReadFile(Folder + "/" + entry + ".kbm")).Data.size() / 2;
  }
};

TEST(Settings, FirstStartUsesTheDefaultsAndPlaysTheFirstMusic) {
  const std::string path = FreshConfig();
  MusicRig rig;
  TSettings settings;
  settings.TrumpfoderNarrisch = true;  // kept: nothing is stored
  EXPECT_EQ(LoadError(settings, rig.List, rig.Bank.get(), rig.Folder), "");
  EXPECT_EQ(settings.MusicVolume, 2);
  EXPECT_EQ(settings.SoundVolume, 2);
  EXPECT_EQ(settings.Skill, 2);
  EXPECT_EQ(rig.List.Selected, 0);
  EXPECT_TRUE(rig.Plays("Landler"));
  EXPECT_EQ(rig.Bank->Item(0).Volume, LevelVolume(2));
  EXPECT_EQ(Text(path), "(none)");  // reading creates nothing
}

TEST(Settings, SavedValuesComeBackAsStored) {
  const std::string path = FreshConfig();
  // Other values are kept; another spelling of the rule's name is replaced.
  Store(path, "[General]\nFremd=bleibt\ntrumpfodernarrisch=0\n");
  SaveOptions({3, -1, 7, true}, {{"Landler", "Hans, der @Ländler"}, 1});
  EXPECT_EQ(Text(path),
            "[General]\nFremd=bleibt\nMusicName=\"Hans, der @Ländler\"\nMusicVolume=3\nSkill=7\n"
            "SoundVolume=-1\nTrumpfOderNarrisch=1\n");

  struct Case { TSettings Saved; std::vector<std::string> Entries; int Selected; };
  for (const Case& c : {Case{{3, -1, 7, true}, {"Landler", "Hans, der @Ländler"}, 1},
                        Case{{-1, 4, 0, false}, {"a", "Landler", "Walzer"}, 2},
                        Case{{2, 2, 2, false}, {}, -1}}) {
    SaveOptions(c.Saved, {c.Entries, c.Selected});
    TSettings got{9, 9, 9, !c.Saved.TrumpfoderNarrisch};
    TMusicList list{c.Entries, -1};
    EXPECT_EQ(LoadError(got, list), "");
    EXPECT_EQ(std::tie(got.MusicVolume, got.SoundVolume, got.Skill, got.TrumpfoderNarrisch, list.Selected),
              std::tie(c.Saved.MusicVolume, c.Saved.SoundVolume, c.Saved.Skill, c.Saved.TrumpfoderNarrisch, c.Selected));
  }
  EXPECT_NE(Text(path).find("\nMusicName=\n"), std::string::npos);  // no music: written empty
}

// Names are found in any letter case and values taken without a range check;
// the music is the last entry named exactly as stored, else the first.
TEST(Settings, AStoredFileGivesItsValuesAndMusic) {
  struct Case { std::string Lines; std::vector<std::string> Entries; bool Rule; int Skill; int Selected; };
  for (const Case& c : {Case{"trumpfodernarrisch=1\nsKILL=7", {}, true, 7, -1},
                        Case{"TRUMPFODERNARRISCH=-5\nMusicName=Walzer", {"Landler", "Walzer", "Polka"}, true, 2, 1},
                        Case{"TrumpfOderNarrisch=0\nMusicName=Weg", {"Landler", "Walzer"}, false, 2, 0},
                        Case{"MusicName=walzer", {"Landler", "Walzer"}, false, 2, 0},
                        Case{"MusicName=Walzer", {"Walzer", "x", "Walzer"}, false, 2, 2}}) {
    Store(FreshConfig(), "[General]\n" + c.Lines + "\n");
    TSettings settings;
    TMusicList list{c.Entries, 5};
    EXPECT_EQ(LoadError(settings, list), "");
    EXPECT_EQ(std::tuple(settings.TrumpfoderNarrisch, settings.Skill, list.Selected),
              std::tuple(c.Rule, c.Skill, c.Selected)) << c.Lines;
  }
}

// A value of the wrong type is reported after everything else has been read
// and applied, and stays in the file as it is until the player changes it.
TEST(Settings, AValueOfTheWrongTypeLosesNoOtherSetting) {
  MusicRig rig;
  for (const auto& [lines, name] : {std::pair{"SoundVolume=laut", "SoundVolume"}, {"SoundVolume=", "SoundVolume"},
                                    {"SoundVolume=4294967295", "SoundVolume"}, {"SoundVolume=1, 2", "SoundVolume"},
                                    {"MusicName=\"x\"\nSoundVolume=@ByteArray(3)", "SoundVolume"},
                                    {"MusicName=Walzer, Landler", "MusicName"},
                                    {"trumpfodernarrisch=ja", "TrumpfoderNarrisch"}}) {
    Store(FreshConfig(), std::string("[General]\nMusicVolume=1\n") + lines + "\nSkill=4\n");
    rig.Bank->StopSound(ItemMusic);
    TSettings settings;
    EXPECT_EQ(LoadError(settings, rig.List, rig.Bank.get(), rig.Folder),
              std::string("Ungültiger Datentyp für '") + name + "'");
    EXPECT_EQ(std::pair(settings.MusicVolume, settings.Skill), std::pair(1, 4)) << lines;
    EXPECT_TRUE(rig.MusicSounds()) << lines;
    EXPECT_EQ(rig.Bank->Item(0).Volume, LevelVolume(2)) << lines;  // the levels applied
  }

  // Skill=viel with MusicName=Walzer: the music is the stored one, and a save
  // keeps "viel" until the skill is changed, and the music as it was.
  const std::string path = FreshConfig();
  Store(path, "[General]\nSkill=viel\nMusicName=Walzer\nSoundVolume=3\n");
  TSettings settings;
  TMusicList list{{"Landler", "Walzer"}, -1};
  TOptionsLoaded loaded;
  try {
    LoadOptions(settings, list, rig.Bank.get(), rig.Folder, &loaded);
    ADD_FAILURE() << "no error";
  } catch (const DataError& e) {
    EXPECT_STREQ(e.what(), "Ungültiger Datentyp für 'Skill'");
  }
  EXPECT_TRUE(rig.Plays("Walzer"));
  EXPECT_EQ(list.Selected, 1);
  settings.SoundVolume = 4;
  SaveOptions(settings, list, loaded);
  EXPECT_EQ(Text(path), "[General]\nMusicName=Walzer\nMusicVolume=2\nSkill=viel\nSoundVolume=4\nTrumpfOderNarrisch=0\n");
  settings.Skill = 3;
  SaveOptions(settings, list, loaded);
  EXPECT_NE(Text(path).find("\nSkill=3\n"), std::string::npos) << Text(path);
}

// Whatever QSettings cannot parse, random bytes and a stray line included.
TEST(Settings, ADamagedFileCountsAsAbsentAndIsKeptAsideBySaving) {
  std::mt19937 random(23);
  std::string bytes(600, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  for (const std::string& damaged :
       std::vector<std::string>{"[General\nSkill=4\n", "[General]\nSkill=4\nzwoa Mass\n", "Skill=4\n" + bytes}) {
    const std::string path = FreshConfig();
    Store(path, damaged);
    TSettings settings;
    TMusicList list;
    EXPECT_EQ(LoadError(settings, list), "");
    EXPECT_EQ(settings.Skill, 2);
    SaveOptions(settings, list);
    EXPECT_EQ(Text(path + ".damaged"), damaged);
    EXPECT_NE(Text(path).find("\nSkill=2\n"), std::string::npos);
    EXPECT_EQ(Text(path).find('4'), std::string::npos) << Text(path);
  }
}

// Values that QSettings would decode with QDataStream, however they are spelt,
// make the file count as damaged before QSettings reads it; text that merely
// holds an '@' or an escape elsewhere is read as before.
TEST(Settings, AStreamedValueMakesTheFileCountAsDamaged) {
  const std::string body = R"((\0\0\0\x2\0\0\0\x1\0a))";
  for (const std::string& line :
       {"Fremd=@Variant" + body, "Fremd=\\x40Variant" + body, "Fremd=\\100Variant" + body,
        "Fremd=\"@Variant" + body + "\"", "Fremd=x, @Variant" + body, "Fremd=\\\n@Variant" + body,
        "Fremd=@\\x56\\x61riant" + body, "Fremd=@DateTime" + body, "Fremd= \"x\" ,\"@Variant" + body + "\""}) {
    Store(FreshConfig(), "[General]\nSkill=4\n" + line + "\n");
    TSettings settings;
    TMusicList list;
    EXPECT_EQ(LoadError(settings, list), "") << line;
    EXPECT_EQ(settings.Skill, 2) << line;
  }
  struct Plain { std::string Line, Error; int Selected; };
  for (const Plain& c : {Plain{"MusicName=@@Variant(x)", "", 1},
                         Plain{"MusicName=Hans, der @Variant(", "Ungültiger Datentyp für 'MusicName'", 0}}) {
    Store(FreshConfig(), "[General]\nSkill=4\n" + c.Line + "\n");
    TSettings settings;
    TMusicList list{{"x", "@Variant(x)"}, 0};
    EXPECT_EQ(LoadError(settings, list), c.Error) << c.Line;
    EXPECT_EQ(std::pair(settings.Skill, list.Selected), std::pair(4, c.Selected)) << c.Line;
  }
}

// Runs `body` in a child process and returns its exit status (-signal when
// killed); a child still running after the given time is killed.
int InChild(const std::function<int()>& body, int killAfterMicroseconds = -1) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  bool reaped = false;
  if (killAfterMicroseconds >= 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(killAfterMicroseconds);
    while (!(reaped = waitpid(pid, &status, WNOHANG) == pid)) {
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        kill(pid, SIGKILL);
        break;
      }
      usleep(static_cast<useconds_t>(std::min<long long>(left.count(), 200)));
    }
  }
  if (!reaped) waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

const TSettings OldSettings{1, 1, 1, false};
const TSettings NewSettings{4, 3, 0, true};
const TMusicList Music{{"Landler", "Zwiefacher"}, 1};

int SaveNewExpectingRefusal() {
  try {
    SaveOptions(NewSettings, Music);
  } catch (const DataError& e) {
    return std::string(e.what()) == "Konnte Daten für 'MusicVolume' nicht setzen" ? 0 : 2;
  }
  return 1;
}

void DropRoot() {
  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
}

TEST(Settings, ARefusedSaveReportsItAndKeepsTheOldFile) {
  struct Case { const char* Name; std::function<void(const std::string& path)> Setup; };
  for (const Case& c : {Case{"read-only folder", [](const std::string& path) {
                               fs::permissions(fs::path(path).parent_path(), fs::perms(0555));
                               DropRoot();
                             }},
                        Case{"read-only file", [](const std::string& path) {
                               fs::permissions(fs::path(path).parent_path(), fs::perms::all);
                               fs::permissions(path, fs::perms(0444));
                               DropRoot();
                             }},
                        Case{"full disk", [](const std::string&) {
                               signal(SIGXFSZ, SIG_IGN);
                               const rlimit limit{16, 16};
                               setrlimit(RLIMIT_FSIZE, &limit);
                             }},
                        // Room for the lock, not for the whole new file.
                        Case{"disk full part-way", [](const std::string& path) {
                               signal(SIGXFSZ, SIG_IGN);
                               const rlim_t room = fs::file_size(path) - 8;
                               const rlimit limit{room, room};
                               setrlimit(RLIMIT_FSIZE, &limit);
                             }}}) {
    const std::string path = FreshConfig();
    SaveOptions(OldSettings, Music);
    const std::string old = Text(path);
    EXPECT_EQ(InChild([&] { c.Setup(path); return SaveNewExpectingRefusal(); }), 0) << c.Name;
    EXPECT_EQ(Text(path), old) << c.Name;
    fs::permissions(fs::path(path).parent_path(), fs::perms::all);
  }
}

// A thousand saves killed at random moments, most of them within the time a
// save takes, the rest later: each leaves the old or the new file, whole.
TEST(Settings, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewSettingsWhole) {
  const std::string newPath = FreshConfig();
  SaveOptions(NewSettings, Music);
  const std::string newText = Text(newPath);
  const std::string path = FreshConfig();
  SaveOptions(OldSettings, Music);
  const std::string oldText = Text(path);
  const std::string oldCopy = path + ".old";
  fs::copy_file(path, oldCopy);
  const fs::path lock = path + ".lock";

  // A lock left empty and a few seconds old does not hold up the next save
  // (QSettings alone would wait until it is 30 seconds old).
  Store(lock, "");
  fs::last_write_time(lock, fs::file_time_type::clock::now() - std::chrono::seconds(5));
  EXPECT_EQ(InChild([] { SaveOptions(OldSettings, Music); return 0; }, 10'000'000), 0) << "the save hung";
  EXPECT_EQ(Text(path), oldText);

  // How long a whole save takes in a child here, to spread the kills over it.
  const auto begin = std::chrono::steady_clock::now();
  InChild([] { SaveOptions(NewSettings, Music); return 0; });
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin);
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> within(0, static_cast<int>(span.count() * 5 / 4));

  int sawOld = 0, sawNew = 0, leftLocks = 0, emptyLocks = 0;
  for (int run = 0; run < 1000; ++run) {
    fs::copy_file(oldCopy, path + ".tmp", fs::copy_options::overwrite_existing);
    fs::rename(path + ".tmp", path);
    const int delay = run % 20 == 19 ? 50000 : within(random);
    InChild([] { SaveOptions(NewSettings, Music); return 0; }, delay);
    const std::string now = Text(path);
    ASSERT_TRUE(now == oldText || now == newText) << "killed after " << delay << " µs:\n" << now;
    (now == oldText ? sawOld : sawNew) += 1;
    // A child killed while it held QSettings' lock leaves the lock behind,
    // empty when the kill came before its owner was written into it. A save a
    // second or more later, as in a later start of the game, clears it and
    // goes through; that is checked for every empty lock and a few others,
    // the rest are cleared by the next run's save.
    if (fs::exists(lock)) {
      const bool empty = fs::file_size(lock) == 0;
      (empty ? emptyLocks : leftLocks) += 1;
      fs::last_write_time(lock, fs::file_time_type::clock::now() - std::chrono::seconds(5));
      if (empty || leftLocks <= 10) {
        SaveOptions(OldSettings, Music);
        ASSERT_EQ(Text(path), oldText);
        ASSERT_FALSE(fs::exists(lock));
      }
    }
  }
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
  std::printf("killed saves: %d left the old file, %d the new; %d locks left behind, %d of them empty\n", sawOld,
              sawNew, leftLocks + emptyLocks, emptyLocks);
}

}  // namespace

// A settings file of gigabytes is not read into memory: it counts as damaged,
// and saving puts it aside whole.
TEST(Settings, AnOversizedFileCountsAsDamaged) {
  const std::string path = FreshConfig();
  Store(path, "[General]\nSkill=4\n");
  fs::resize_file(path, std::uintmax_t{4} << 30);
  TSettings settings;
  TMusicList list;
  EXPECT_EQ(LoadError(settings, list), "");
  EXPECT_EQ(settings.Skill, 2);
  SaveOptions(settings, list);
  EXPECT_EQ(fs::file_size(path + ".damaged"), std::uintmax_t{4} << 30);
  EXPECT_NE(Text(path).find("\nSkill=2\n"), std::string::npos);
  fs::remove(path + ".damaged");
}

}  // namespace kolbet
