// Drawing one table scene on the QPainter surface: at scale 1 into 16 bits per
// pixel, as kolbet-render does, and at 2.25 into 32 bits, the scale of a
// 1920 × 1080 screen. The pack is the generated one (or KOLBET_BENCH_PACK).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include "assets/data_error.h"
#include "assets/graphics_pack.h"
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

void DrawTable(benchmark::State& state, double scale, QImage::Format format) {
  NeedApplication();
  const char* chosen = std::getenv("KOLBET_BENCH_PACK");
  kolbet::TImageList koartn;
  try {
    kolbet::LoadGraphics(chosen ? chosen : KOLBET_GENERATED_PACK, koartn);
  } catch (const kolbet::DataError& error) {
    state.SkipWithError(error.what());
    return;
  }
  kolbet::QtDrawSurface surface(koartn);
  surface.Start(scale, format);
  const kolbet::TTable table = FullTable();
  for (auto _ : state) {
    surface.Draw(table);
    benchmark::DoNotOptimize(surface.Image().constBits());
  }
}

void BM_DrawTableScale1(benchmark::State& state) { DrawTable(state, 1, QImage::Format_RGB16); }
void BM_DrawTableScale225(benchmark::State& state) { DrawTable(state, 2.25, QImage::Format_RGB32); }
BENCHMARK(BM_DrawTableScale1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawTableScale225)->Unit(benchmark::kMillisecond);

}  // namespace
