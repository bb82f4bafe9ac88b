// The window under strain: a music file spoiled while the program runs, and
// ten thousand hands played through the window's own press path, after which
// the process holds no more memory and no more open files than before.

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "assets/sound_bank.h"
#include "assets/wave.h"
#include "game/dxdraw.h"
#include "game/hit_regions.h"
#include "platform/picture_controls.h"
#include "rules/sound_items.h"
#include "tests/window_fixture.h"

namespace kolbet {
namespace {

TEST_F(WindowTest, ATruncatedMusicFileIsReportedAndTheMusicGoesOn) {
  Start();
  const fs::path landler = Home / "run/Landler.kbm";
  const auto whole = fs::file_size(fs::path(KOLBET_RUN_DIR) / "Landler.kbm");
  fs::remove(landler);
  fs::copy_file(fs::path(KOLBET_RUN_DIR) / "Landler.kbm", landler);
  fs::resize_file(landler, whole / 2);
  const TWave before = Form->Saunds->Item(ItemMusic).Wave;

  emit Form->Dmusi->activated(Form->Dmusi->findText("Landler"));
  EXPECT_EQ(Errors, std::vector<std::string>{"Stream-Read-Fehler."});
  EXPECT_EQ(Form->Saunds->Item(ItemMusic).Wave.Data, before.Data) << "the music playing is kept";

  // The music level and the other music still answer.
  Click(Form->Button5);
  const int level = Form->Game.Settings.MusicVolume;
  Click(Form->Image2, Qt::RightButton);
  EXPECT_EQ(Form->Game.Settings.MusicVolume, level - 1);
  emit Form->Dmusi->activated(Form->Dmusi->findText("Wirtshauswalzer"));
  EXPECT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Form->Saunds->Item(ItemMusic).Wave.Data,
            LoadWaveFile(std::string(KOLBET_RUN_DIR) + "/Wirtshauswalzer.kbm").Data);
  Click(Form->Button6);
  Click(Form->Button1);
  EXPECT_EQ(Form->Game.Table.Phase, PhaseAnnounceRank);
}

// Resident pages of this process.
long ResidentPages() {
  long size = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> size >> resident;
  return resident;
}

int OpenFiles() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

// A sound and a clock that only count, so that nothing grows with the game.
struct CountingSound final : SoundPort {
  void PlaySound(int, bool) override { ++Played; }
  void StopSound(int) override {}
  long Played = 0;
};
struct VirtualClock final : ClockPort {
  void Pause(std::chrono::milliseconds duration) override { Elapsed += duration; }
  std::uint32_t MillisecondsOfDayUtc() override { return 0; }
  std::chrono::milliseconds Elapsed{0};
};

TEST_F(WindowTest, TenThousandHandsLeaveNoMemoryOrFileBehind) {
  Start();
  CountingSound sound;
  VirtualClock clock;
  Form->Game.Sound = &sound;
  Form->Game.Clock = &clock;
  ShowAt(1.0);

  // A surface point over each hand slot, where that slot lies on top.
  std::array<TVertex, 5> over{};
  for (int slot = 0; slot < 5; ++slot) {
    bool found = false;
    for (int y = 479; y > 240 && !found; --y)
      for (int x = 0; x < 640 && !found; ++x)
        if (HitHandSlot(x, y, {0, 1, 2, 3, 4}) == slot) over[slot] = {x, y}, found = true;
    ASSERT_TRUE(found) << slot;
  }

  Click(Form->Button1);
  const auto hands = [&] { return Form->Game.Table.PlayerSeat.Points + Form->Game.Table.OpponentSeat.Points; };
  // Presses the lowest slot holding a card that the phase takes; the event
  // loop runs now and then between the presses, as it would.
  const auto state = [&] {
    const TTable& t = Form->Game.Table;
    return std::tuple(t.Phase, t.PlayerSeat, t.OpponentSeat, t.AnnouncedCard);
  };
  const auto playUntil = [&](int total) {
    while (hands() < total) {
      const auto was = state();
      const TTable before = Form->Game.Table;
      for (int slot = 0; slot < 5 && state() == was; ++slot)
        if (before.PlayerSeat.Hand[slot] != NoCard)
          Form->DXDraw->MouseDown(Qt::LeftButton, over[slot].X, over[slot].Y);
      ASSERT_FALSE(state() == was) << "no slot was taken in phase " << before.Phase;
      if (hands() != before.PlayerSeat.Points + before.OpponentSeat.Points && hands() % 10 == 0)
        QApplication::processEvents();
    }
  };
  playUntil(300);  // everything that is made once is made by now
  const long pages = ResidentPages();
  const int files = OpenFiles();
  const int frames = Form->FramesDrawn();
  // Every hand draws about ten frames; so that the run stays short, the
  // window is hidden for 95 hands of each hundred, and shown again for five.
  for (int block = 0; block < 100; ++block) {
    playUntil(hands() + 5);
    Form->hide();
    playUntil(hands() + 95);
    ShowAt(1.0);
  }
  ASSERT_FALSE(HasFailure());
  EXPECT_TRUE(Errors.empty()) << Errors.front();
  EXPECT_GT(Form->FramesDrawn(), frames + 2000);
  EXPECT_GT(clock.Elapsed, std::chrono::hours(10)) << "the pauses were asked for, and took no time";
  EXPECT_EQ(OpenFiles(), files);
  const long grown = (ResidentPages() - pages) * sysconf(_SC_PAGESIZE);
  // Under AddressSanitizer freed memory waits in its quarantine, so resident
  // memory says nothing there; the sanitizer's leak check takes its place.
  if (!std::getenv("KOLBET_SANITIZED")) {
    EXPECT_LT(grown, 1L << 20) << "resident memory grew by " << grown << " bytes";
  }
  std::printf("10000 hands: %ld sounds, %lld s of pauses, resident memory %+ld KiB\n", sound.Played,
              static_cast<long long>(clock.Elapsed.count() / 1000), grown / 1024);
}

}  // namespace
}  // namespace kolbet
