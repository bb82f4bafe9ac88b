// kolbet-windowbench: figures of the main window on Qt's offscreen platform,
// with the generated data files and a clock whose pauses take no time:
//  - from a pointer press on a card, delivered through Qt's event path, to the
//    start of that card's spoken name (the call into the sound);
//  - resident memory on the title and after 100 hands pressed through the
//    window, a frame drawn after every hand.
//
// With --full-screen it runs on the display it is given (Xvfb for the
// figures), full screen, with the sound device and the music as the game has
// them and with the high-resolution companion, and tells only the memory: on
// the title, after 100 hands at the table, and back on the title.
//
// usage: kolbet-windowbench [--full-screen]

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "game/dxdraw.h"
#include "game/hit_regions.h"
#include "assets/data_file.h"
#include "assets/graphics_pack.h"
#include "assets/load_pics_form.h"
#include "game/main_form.h"
#include "platform/error_box.h"
#include "rules/cards.h"
#include "tests/test_game.h"

using namespace kolbet;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Notes the moment of the first sound after it is armed.
struct TimingSound final : SoundPort {
  void PlaySound(int, bool) override {
    if (Armed) Started = Clock::now(), Armed = false;
  }
  void StopSound(int) override {}
  bool Armed = false;
  Clock::time_point Started;
};

struct VirtualClock final : ClockPort {
  void Pause(std::chrono::milliseconds) override {}
  std::uint32_t MillisecondsOfDayUtc() override { return 0; }
};

double ResidentMiB() {
  long size = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> size >> resident;
  return static_cast<double>(resident * sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// The window's events, handled for a while: frames, and sharp pictures that
// come in from the companion's thread.
void Settle(int milliseconds) {
  const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (Clock::now() < until) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// 100 hands from a fresh single game, the lowest card the phase takes.
void PlayHands(TMainForm& form) {
  TTable& t = form.Game.Table;
  form.Handle([&] { form.Button1Click(); });
  const auto hands = [&] { return t.PlayerSeat.Points + t.OpponentSeat.Points; };
  std::array<TVertex, 5> over{};
  for (int slot = 0; slot < 5; ++slot)
    for (int y = 479, found = 0; y > 240 && !found; --y)
      for (int x = 0; x < 640 && !found; ++x)
        if (HitHandSlot(x, y, {0, 1, 2, 3, 4}) == slot) over[slot] = {x, y}, found = 1;
  const auto state = [&] { return std::tuple(t.Phase, t.PlayerSeat, t.OpponentSeat, t.AnnouncedCard); };
  while (hands() < 100) {
    const int played = hands();
    const auto was = state();
    for (int slot = 0; slot < 5 && state() == was; ++slot)
      if (t.PlayerSeat.Hand[slot] != NoCard) form.DXDraw->MouseDown(Qt::LeftButton, over[slot].X, over[slot].Y);
    if (state() == was) {
      std::fprintf(stderr, "no card was taken in phase %d\n", t.Phase);
      std::exit(1);
    }
    if (hands() != played) QApplication::processEvents();
  }
}

// The memory of the full-screen window with everything it draws made sharp.
int MemoryFullScreen(TMainForm& form) {
  Settle(1500);
  const double atTitle = ResidentMiB();
  PlayHands(form);
  Settle(1500);
  const double atTable = ResidentMiB();
  form.Handle([&] { form.Button4Click(); });
  Settle(1500);
  std::printf("resident memory: %.1f MiB on the title, %.1f MiB after 100 hands, %.1f MiB back on the title\n",
              atTitle, atTable, ResidentMiB());
  return 0;
}

// Presses through Qt's event path at 640 × 480, then the memory.
int PressesAndMemory(TMainForm& form, TimingSound& sound) {
  form.showNormal();
  form.resize(640, 480);
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  const double atTitle = ResidentMiB();

  // A press on the first card of a hand to lead from, 500 times.
  std::vector<double> us;
  TTable& t = form.Game.Table;
  const double s = form.DXDraw->Scale();
  const QPoint at = form.DXDraw->geometry().topLeft() + QPoint(qCeil(100 * s), qCeil(469 * s));
  for (int i = 0; i < 500; ++i) {
    test::SetLeadHand(t);
    QApplication::processEvents();
    sound.Armed = true;
    const auto start = Clock::now();
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, at);
    if (!sound.Armed) us.push_back(std::chrono::duration<double, std::micro>(sound.Started - start).count());
  }
  std::sort(us.begin(), us.end());
  if (us.empty()) {
    std::fprintf(stderr, "no press reached the sound\n");
    return 1;
  }
  std::printf("press to card sound started: median %.0f us, max %.0f us (%zu presses)\n", us[us.size() / 2],
              us.back(), us.size());

  PlayHands(form);
  std::printf("resident memory: %.1f MiB on the title, %.1f MiB after 100 hands\n", atTitle, ResidentMiB());
  return 0;
}

int Run(int argc, char** argv) {
  const bool fullScreen = argc == 2 && std::string(argv[1]) == "--full-screen";
  if (!fullScreen) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  // A folder of its own with the generated files, and settings of its own.
  const fs::path home = fs::temp_directory_path() / ("kolbet-windowbench-" + std::to_string(getpid()));
  fs::create_directories(home / "run");
  for (const char* file : {"kolbet.dat", "kolbet-hd.dat", "Kolbet.snd", "Landler.kbm", "Wirtshauswalzer.kbm"})
    fs::create_symlink(fs::path(KOLBET_RUN_DIR) / file, home / "run" / file);
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  fs::current_path(home / "run");
  SetErrorBox([](QWidget*, const std::string& text) { std::fprintf(stderr, "error: %s\n", text.c_str()); });

  TimingSound sound;
  VirtualClock clock;
  TMainFormSeams seams;
  // Full screen the device is opened and the music plays on it; the game's
  // other sounds go to the timing sound, so that no hand waits for them.
  seams.OpenDevice = fullScreen;
  seams.Sound = &sound;
  seams.Clock = &clock;
  auto form = std::make_unique<TMainForm>(QStringList{"brivlo-kolbet"}, std::move(seams));
  if (fullScreen) mallopt(M_MMAP_THRESHOLD, 256 * 1024);  // as the game does
  const std::vector<std::uint8_t> pack = ReadFileBytes("kolbet.dat");
  LoadGraphicsFrom(pack, "kolbet.dat", form->Koartn);
  if (fullScreen) OpenHdPack(*form, pack);  // as the game does, once kolbet.dat is read
  form->ShowGame();
  form->Handle([&] { form->DXTimerActivate(); });
  const int status = fullScreen ? MemoryFullScreen(*form) : PressesAndMemory(*form, sound);
  form.reset();
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(home);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kolbet-windowbench: %s\n", error.what());
    return 1;
  }
}
