// kolbet-inspect --bank and --wave, run as a program.

#include <gtest/gtest.h>

#include "tests/fixture_files.h"
#include <sys/wait.h>

#include <cstdio>

#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

fixtures::CommandRun Inspect(const std::string& args) {
  return fixtures::RunCommand(std::string(KOLBET_INSPECT) + " " + args);
}

TEST(InspectSound, PrintsItemsAndWaves) {
  std::vector<soundtest::BankItem> items(2);
  items[0] = {"Gria Sima", false, 2, soundtest::Sox("-r 22050 -b 16 -c 1", "synth 0.1 sine 440")};
  items[1] = {"Musi", true, {}, {}};
  const std::string bank = soundtest::TempFile("inspect.snd", soundtest::MakeBank(items));
  const fixtures::CommandRun ok = Inspect("--bank " + bank);
  EXPECT_EQ(ok.Status, 0);
  EXPECT_EQ(ok.Out,
            "item 0 name=Gria Sima looped=0 max=2 channels=1 rate=22050 bits=16 bytes=4410\n"
            "item 1 name=Musi looped=1 max=0 empty\n");

  const fixtures::CommandRun wave = Inspect("--wave " + soundtest::SoxFile("-r 44100 -b 24 -c 2", "synth 0.01 sine 440"));
  EXPECT_EQ(wave.Status, 0);
  EXPECT_EQ(wave.Out, "wave channels=2 rate=44100 bits=24 bytes=2646\n");

  const fixtures::CommandRun missing = Inspect("--wave Nix.kbm");
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Out, "Datei Nix.kbm kann nicht geöffnet werden\n");
  const fixtures::CommandRun notBank = Inspect("--bank " + soundtest::SoxFile("-r 8000 -b 8 -c 1", "synth 0.01 sine 440"));
  EXPECT_EQ(notBank.Status, 1);
  EXPECT_EQ(notBank.Out, "Ungültiges Stream-Format\n");
}

}  // namespace
}  // namespace kolbet
