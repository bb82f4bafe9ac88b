// Drawing one table scene on the QPainter surface: at scale 1 into 16 bits per
// pixel, as kolbet-render does, and at 2.25 into 32 bits, the scale of a
// 1920 × 1080 screen. The pack is the generated one (or KOLBET_BENCH_PACK);
// the sharp frames and the first frame after a deal also use the generated
// high-resolution companion.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "assets/data_error.h"
#include "assets/data_file.h"
#include "assets/graphics_pack.h"
#include "assets/hd_pack.h"
#include "platform/qt_draw_surface.h"

namespace {

// Fonts need the application object; it is made once, off screen, and never
// destroyed: destroyed among the static objects at exit, after Qt's own are
// gone, it crashed the program once the figures were printed.
void NeedApplication() {
  static QGuiApplication* app = nullptr;
  if (app) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kolbet-bench";
  static char* argv[] = {name, nullptr};
  app = new QGuiApplication(argc, argv);
}

// Ten cards in the hands and two in the trick: the most a frame draws.
kolbet::TTable FullTable() {
  kolbet::TTable t;
  t.Phase = kolbet::PhaseFollow;
  t.AnnouncedCard = 20;
  t.PlayerSeat = {{3, 11, 14, 30, 7}, 12, 0, 1, 12};
  t.OpponentSeat = {{5, 0, 1, 9, 22}, 27, 0, 2, 3};
  return t;
}


// The generated pack, with its companion when `companion` is set and the pack
// read on demand as the game reads it then; false (and the benchmark skipped)
// when either cannot be read.
bool LoadPacks(benchmark::State& state, bool companion, kolbet::TImageList& koartn,
               std::shared_ptr<const kolbet::THdPack>& hd, std::shared_ptr<const kolbet::THdPack>& own) {
  try {
    const std::vector<std::uint8_t> bytes = kolbet::ReadFileBytes(KOLBET_GENERATED_PACK);
    kolbet::LoadGraphicsFrom(bytes, "kolbet.dat", koartn);
    if (companion) {
      const kolbet::TEntrySizes sizes = kolbet::PackEntrySizes(bytes, "kolbet.dat");
      hd = kolbet::THdPack::Open(KOLBET_GENERATED_HD_PACK, sizes);
      own = kolbet::THdPack::Open(KOLBET_GENERATED_PACK, sizes, 1);
    }
  } catch (const kolbet::DataError& error) {
    state.SkipWithError(error.what());
    return false;
  }
  if (companion && !hd) {
    state.SkipWithError("no kolbet-hd.dat");
    return false;
  }
  return true;
}

// The table drawn again and again; with the companion, its sharp pictures
// are made at once on the first frame, so that the frames after it are timed.
void DrawTable(benchmark::State& state, double scale, QImage::Format format, bool companion = false) {
  NeedApplication();
  kolbet::TImageList koartn;
  std::shared_ptr<const kolbet::THdPack> hd, own;
  if (const char* chosen = std::getenv("KOLBET_BENCH_PACK"); chosen && !companion) {
    try {
      kolbet::LoadGraphics(chosen, koartn);
    } catch (const kolbet::DataError& error) {
      state.SkipWithError(error.what());
      return;
    }
  } else if (!LoadPacks(state, companion, koartn, hd, own)) {
    return;
  }
  kolbet::QtDrawSurface surface(koartn);
  if (hd) surface.UseHdPack(hd);
  surface.ReadPackOnDemand(own);
  surface.Start(scale, format);
  const kolbet::TTable table = FullTable();
  for (auto _ : state) {
    surface.Draw(table);
    benchmark::DoNotOptimize(surface.Image().constBits());
  }
}

// A frame in which every face drawn is new, as the first after a deal: the
// player's five cards and the two in the trick change from frame to frame
// (28 cards in turn, so none was drawn in the two frames before). With the
// companion kolbet.dat's half-size stand-ins are drawn enlarged and the sharp
// ones asked for; they are made meanwhile on the companion's thread.
void FirstFrameAfterDeal(benchmark::State& state, bool companion) {
  NeedApplication();
  kolbet::TImageList koartn;
  std::shared_ptr<const kolbet::THdPack> hd, own;
  if (!LoadPacks(state, companion, koartn, hd, own)) return;
  kolbet::QtDrawSurface surface(koartn);
  if (hd) surface.UseHdPack(hd, [] {});
  surface.ReadPackOnDemand(own);
  surface.Start(2.25, QImage::Format_RGB32);
  kolbet::TTable table = FullTable();
  surface.Draw(table);
  int deal = 0;
  for (auto _ : state) {
    const int first = (deal++ % 4) * 7;
    for (int slot = 0; slot < 5; ++slot) table.PlayerSeat.Hand[slot] = first + slot;
    table.PlayerSeat.TrickCard = first + 5;
    table.OpponentSeat.TrickCard = first + 6;
    surface.Draw(table);
    benchmark::DoNotOptimize(surface.Image().constBits());
    std::string ignored;
    surface.TakeSharpPictures(ignored);
  }
}

void BM_DrawTableScale1(benchmark::State& state) { DrawTable(state, 1, QImage::Format_RGB16); }
void BM_DrawTableScale225(benchmark::State& state) { DrawTable(state, 2.25, QImage::Format_RGB32); }
BENCHMARK(BM_DrawTableScale1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawTableScale225)->Unit(benchmark::kMillisecond);
void BM_DrawTableSharp225(benchmark::State& state) { DrawTable(state, 2.25, QImage::Format_RGB32, true); }
void BM_DrawTableSharp45(benchmark::State& state) { DrawTable(state, 4.5, QImage::Format_RGB32, true); }
BENCHMARK(BM_DrawTableSharp225)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawTableSharp45)->Unit(benchmark::kMillisecond);
void BM_FirstFrameAfterDealPackOnly(benchmark::State& state) { FirstFrameAfterDeal(state, false); }
void BM_FirstFrameAfterDealCompanion(benchmark::State& state) { FirstFrameAfterDeal(state, true); }
// One sharp hand card as the companion's thread makes it at 1920 × 1080
// (156 × 285 surface pixels at 2.25, framed for turning), a card after another.
void BM_MakeSharpHandCard(benchmark::State& state) {
  kolbet::TImageList koartn;
  std::shared_ptr<const kolbet::THdPack> hd, own;
  if (!LoadPacks(state, true, koartn, hd, own)) return;
  int card = 0;
  for (auto _ : state) {
    const QImage made = kolbet::MakeSharpPicture(*hd, {card++ % 32, 351, 641, true});
    benchmark::DoNotOptimize(made.constBits());
  }
}
BENCHMARK(BM_MakeSharpHandCard)->Unit(benchmark::kMillisecond);
// The sharp table background as the first deal asks for it at 1920 × 1080 and
// at 3840 × 2160 (640 × 480 surface pixels at 2.25 and at 4.5).
void BM_MakeSharpTable(benchmark::State& state) {
  kolbet::TImageList koartn;
  std::shared_ptr<const kolbet::THdPack> hd, own;
  if (!LoadPacks(state, true, koartn, hd, own)) return;
  const int width = static_cast<int>(state.range(0)), height = width * 3 / 4;
  for (auto _ : state) {
    const QImage made = kolbet::MakeSharpPicture(*hd, {kolbet::TableImage, width, height, false});
    benchmark::DoNotOptimize(made.constBits());
  }
}
BENCHMARK(BM_MakeSharpTable)->Arg(1440)->Arg(2880)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstFrameAfterDealPackOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstFrameAfterDealCompanion)->Unit(benchmark::kMillisecond);

}  // namespace
