// The QPainter surface, pixel by pixel, on small pictures made here and on the
// generated pack.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>
#include <unistd.h>

#include "assets/graphics_pack.h"
#include "assets/hd_pack.h"
#include "tests/fixture_files.h"
#include "platform/qt_draw_surface.h"
#include "tests/image_difference.h"

using namespace kolbet;

namespace {

TPicture Filled(int w, int h, std::uint32_t colour) {
  TPicture p;
  p.Width = w;
  p.Height = h;
  p.Pixels.assign(static_cast<std::size_t>(w) * h, colour);
  return p;
}

void Fill(TPicture& p, QRect area, std::uint32_t colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) p.Pixels[static_cast<std::size_t>(y) * p.Width + x] = colour;
}

const std::uint32_t Blue = KeyColour, Red = Rgb(255, 0, 0), Green = Rgb(0, 255, 0), White = Rgb(255, 255, 255),
                    Yellow = Rgb(255, 255, 0);

// Card 0 half key colour, half red; card 1 white with a red mark at the middle
// of its top edge; the title has blue in it but is drawn with every pixel; the
// table background green; the waiting picture yellow; item 37 holds no picture.
TImageList SmallPictures() {
  TImageList koartn;
  koartn[0] = Filled(20, 20, Red);
  Fill(koartn[0], QRect(0, 0, 10, 20), Blue);
  koartn[1] = Filled(40, 40, White);
  Fill(koartn[1], QRect(16, 0, 8, 6), Red);
  koartn[TitleImage] = Filled(100, 100, Blue);
  koartn[TableImage] = Filled(640, 480, Green);
  koartn[WaitingImage] = Filled(50, 40, Yellow);
  return koartn;
}

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

bool Reddish(QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80; }

TEST(QtDrawSurface, LeavesOutTheKeyColourOfKeyedPicturesOnly) {
  QtDrawSurface s(SmallPictures());
  s.Start(1, QImage::Format_RGB16);
  s.DrawPicture(TableImage, 0, 0);
  s.DrawPicture(0, 100, 100);
  EXPECT_EQ(At(s.Image(), 105, 110), 0x00FF00u);  // the table shows through
  EXPECT_EQ(At(s.Image(), 115, 110), 0xFF0000u);
  s.DrawPicture(TitleImage, 300, 300);
  EXPECT_EQ(At(s.Image(), 350, 350), 0x0000FFu);

  // Scaled and turned, the keyed half leaves no blue fringe.
  s.DrawPictureRotated(0, 200, 200, 60, 60, 0.5, 0.5, 10);
  for (int y = 160; y < 240; ++y)
    for (int x = 160; x < 240; ++x) {
      const QRgb c = At(s.Image(), x, y);
      ASSERT_LE(qBlue(c), qRed(c) + 8) << x << ", " << y;
    }

  // An item without a picture has no size and draws nothing.
  const QImage before = s.Image().copy();
  EXPECT_EQ(s.PictureWidth(SmallImage), 0);
  EXPECT_EQ(s.PictureHeight(SmallImage), 0);
  s.DrawPicture(SmallImage, 0, 0);
  s.DrawPictureRotated(SmallImage, 320, 240, 100, 100, 0.5, 0.5, 0);
  s.DrawPictureRotated(-1, 320, 240, 100, 100, 0.5, 0.5, 0);
  s.DrawPicture(ImageCount, 0, 0);
  EXPECT_EQ(s.Image(), before);
}

TEST(QtDrawSurface, TurnsPicturesClockwiseAboutTheirPivot) {
  QtDrawSurface s(SmallPictures());
  // A quarter turn: the mark at the top goes to the right of the pivot.
  s.Start(1, QImage::Format_RGB32);
  s.DrawPictureRotated(1, 200, 200, 40, 40, 0.5, 0.5, 64);
  EXPECT_TRUE(Reddish(At(s.Image(), 217, 200)));
  EXPECT_FALSE(Reddish(At(s.Image(), 183, 200)));
  EXPECT_FALSE(Reddish(At(s.Image(), 200, 183)));
  // The angle counts modulo 256.
  const QImage quarter = s.Image().copy();
  s.Start(1, QImage::Format_RGB32);
  s.DrawPictureRotated(1, 200, 200, 40, 40, 0.5, 0.5, 64 - 256);
  EXPECT_EQ(s.Image(), quarter);

  // Unturned, scaled to 20 × 10 and placed by its top-left corner.
  s.Start(1, QImage::Format_RGB32);
  s.DrawPictureRotated(1, 50, 60, 20, 10, 0, 0, 0);
  EXPECT_EQ(At(s.Image(), 50, 60), 0xFFFFFFu);
  EXPECT_TRUE(Reddish(At(s.Image(), 60, 60)));
  EXPECT_EQ(At(s.Image(), 49, 60), 0u);
  EXPECT_EQ(At(s.Image(), 50, 59), 0u);
  EXPECT_EQ(At(s.Image(), 69, 69), 0xFFFFFFu);
  EXPECT_EQ(At(s.Image(), 70, 65), 0u);
  EXPECT_EQ(At(s.Image(), 55, 70), 0u);
}

// The box of the pixels brighter than half in the picture.
QRect Ink(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) > 128) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(QtDrawSurface, DrawsTextInPointsAtNinetySixDotsPerInch) {
  QtDrawSurface s(SmallPictures());
  s.Start(1, QImage::Format_RGB16);
  s.SetFontName("Arial");
  s.SetFontSize(25);
  s.SetFontColour(0xFFFFFF);
  s.DrawText(10, 100, "Hg");
  // The face's em is 33 pixels: from the top of the H to the foot of the g
  // about nine tenths of it, with the cell's top a few pixels above the H.
  const QRect ink = Ink(s.Image());
  EXPECT_GE(ink.height(), 28);
  EXPECT_LE(ink.height(), 33);
  EXPECT_GE(ink.top(), 103);
  EXPECT_LE(ink.top(), 110);
  EXPECT_GE(ink.left(), 10);
  const int width = s.MeasureText("Hg");
  EXPECT_GE(width, ink.width());
  EXPECT_LE(width, ink.width() + 8);

  // Red text on a transparent background; size 12 is about half as wide.
  s.DrawPicture(TableImage, 0, 0);
  s.SetFontColour(0xFF0000);
  s.DrawText(10, 100, "Hg");
  EXPECT_EQ(At(s.Image(), 5, 105), 0x00FF00u);
  EXPECT_TRUE(Reddish(At(s.Image(), ink.left() + 1, ink.top() + 10)));
  s.SetFontSize(12);
  EXPECT_NEAR(s.MeasureText("Hg") * 25.0 / 12, width, 3);
}

TEST(QtDrawSurface, KeepsOlderPixelsBetweenScenes) {
  QtDrawSurface s(SmallPictures());
  s.Start(1, QImage::Format_RGB16);
  EXPECT_EQ(s.Image().size(), QSize(640, 480));
  EXPECT_EQ(At(s.Image(), 320, 240), 0u);
  TTable table;
  table.Phase = 7;
  s.Draw(table);
  EXPECT_EQ(At(s.Image(), 620, 470), 0xFFFF00u);
  table.Phase = 5;
  s.Draw(table);
  EXPECT_EQ(At(s.Image(), 50, 50), 0x0000FFu);
  EXPECT_EQ(At(s.Image(), 620, 470), 0xFFFF00u);  // the title covers only its own 100 × 100
}

// The largest difference of green between neighbours in a row, within `area`.
int SteepestStep(const QImage& image, QRect area) {
  int steepest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x < area.right(); ++x)
      steepest = std::max(steepest, std::abs(qGreen(image.pixel(x, y)) - qGreen(image.pixel(x + 1, y))));
  return steepest;
}

TEST(QtDrawSurface, DrawsTheSameTableAtTheScaleOfALargeScreen) {
  TImageList koartn;
  LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", koartn);
  // Every kind of picture, both trick cards and a gap, the texts.
  TTable t;
  t.Phase = 2;
  t.AnnouncedCard = 20;
  t.PlayerSeat = {{3, -1, 14, 30, 7}, 12, 0, 1, 12};
  t.OpponentSeat = {{5, -1, -1, 9, 22}, 27, 0, 2, 3};
  QtDrawSurface s(koartn);
  s.Start(1, QImage::Format_RGB32);
  s.Draw(t);
  const QImage small = s.Image().copy();
  s.Start(2.25, QImage::Format_RGB32);
  s.Draw(t);
  ASSERT_EQ(s.Image().size(), QSize(1440, 1080));
  const QImage large = s.Image();
  const QImage enlarged = small.scaled(1440, 1080, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  EXPECT_LT(MeanDifference(enlarged, large), 6);
  // Drawn at its own resolution, not blown up: the edges of the points at the
  // bottom left are far steeper than on the enlarged small picture.
  const QRect points(0, 950, 150, 130);
  EXPECT_GT(SteepestStep(large, points), 1.6 * SteepestStep(enlarged, points));
}


// Drawn from a companion, a picture goes through its own path: decoded there,
// keyed, scaled to the size it lands on and framed for turning. kolbet.dat read
// as its own companion (factor 1) must therefore give exactly kolbet.dat's
// frame, made at once or on the companion's thread; a companion that turns out
// damaged is reported once and the frame is still exactly kolbet.dat's. The
// same holds with kolbet.dat kept only as stand-ins and read again on demand,
// at its own size as well as enlarged.
TEST(QtDrawSurface, PicturesFromACompanionLandExactlyWhereThePacksDo) {
  const fixtures::Bytes bytes = fixtures::ReadFile(KOLBET_RUN_DIR "/kolbet.dat");
  TImageList koartn;
  LoadGraphicsFrom(bytes, "kolbet.dat", koartn);
  const TEntrySizes sizes = PackEntrySizes(bytes, "kolbet.dat");
  TTable t;
  t.Phase = 2;
  t.PlayerSeat = {{3, -1, 14, 30, 7}, 12, 0, 1, 12};
  t.OpponentSeat = {{5, -1, -1, 9, 22}, 27, 0, 2, 3};
  const std::shared_ptr<const THdPack> own = THdPack::Open(KOLBET_RUN_DIR "/kolbet.dat", sizes, 1);
  auto frame = [&](const std::shared_ptr<const THdPack>& hd, std::string* error, bool lean = false,
                   double scale = 2.25) {
    QtDrawSurface s(koartn);
    std::atomic<int> ready = 0;
    if (hd) s.UseHdPack(hd, error ? std::function<void()>{} : [&] { ++ready; });
    if (lean) s.ReadPackOnDemand(own);
    s.Start(scale, QImage::Format_RGB32);
    s.Draw(t);
    if (hd && !error) {
      // Made on the companion's thread: kolbet.dat's pictures first, then
      // the companion's, once they are taken in.
      EXPECT_FALSE(s.AllFinal());
      std::string none;
      for (int i = 0; i < 1000 && !s.AllFinal(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        s.TakeSharpPictures(none);
      }
      EXPECT_GT(ready, 0);
      EXPECT_EQ(none, "");
      s.Draw(t);
    }
    if (error) s.TakeSharpPictures(*error);
    return s.Image().copy();
  };
  const QImage alone = frame(nullptr, nullptr);
  const std::string scratch = std::filesystem::temp_directory_path() / ("kolbet-" + std::to_string(getpid()));
  const std::string same = scratch + "-same-hd.dat";
  fixtures::WriteFile(same, bytes);
  std::string error;
  EXPECT_EQ(frame(THdPack::Open(same, sizes, 1), &error), alone);
  EXPECT_EQ(error, "");
  EXPECT_EQ(frame(THdPack::Open(same, sizes, 1), nullptr), alone);
  EXPECT_EQ(frame(THdPack::Open(same, sizes, 1), nullptr, true), alone);

  // Card 14's photograph cut short at the end of the file.
  fixtures::Bytes damaged = bytes;
  const std::span<const std::uint8_t> card = PackStream(bytes, "kolbet.dat", 14);
  const auto at = static_cast<std::uint32_t>(damaged.size());
  damaged.insert(damaged.end(), card.begin(), card.begin() + 2000);
  for (int i = 0; i < 4; ++i) damaged[14 * 4 + i] = static_cast<std::uint8_t>(at >> (8 * i));
  const std::string cut = scratch + "-cut-hd.dat";
  fixtures::WriteFile(cut, damaged);
  for (const bool lean : {false, true}) {
    error.clear();
    EXPECT_EQ(frame(THdPack::Open(cut, sizes, 1), &error, lean), alone) << lean;
    EXPECT_EQ(error.rfind("JPEG-Fehler #", 0), 0u) << error;
  }
  // Last: a frame at another scale leaves Qt's glyph cache changed for the
  // text of the frames above.
  const QImage small = frame(nullptr, nullptr, false, 1);
  EXPECT_EQ(frame(THdPack::Open(same, sizes, 1), &error, true, 1), small);
  // kolbet.dat itself found cut while it is read on demand: its error once.
  QtDrawSurface s(koartn);
  s.UseHdPack(THdPack::Open(same, sizes, 1));
  s.ReadPackOnDemand(THdPack::Open(cut, sizes, 1));
  s.Start(1, QImage::Format_RGB32);
  s.Draw(t);
  std::string failure;
  EXPECT_TRUE(s.TakeSharpPictures(failure));
  EXPECT_EQ(failure.rfind("JPEG-Fehler #", 0), 0u) << failure;
  EXPECT_FALSE(s.TakeSharpPictures(failure));
  // From then on the stand-ins, each enlarged to where kolbet.dat puts it.
  s.Draw(t);
  EXPECT_LT(MeanDifference(s.Image(), small), 3);
  std::filesystem::remove(same);
  std::filesystem::remove(cut);
}


// The title alone over the whole surface stays in the kept frame instead of a
// copy of its own; every later title frame, after a table or another scale
// too, is still exactly the first.
TEST(QtDrawSurface, TheTitleKeptInTheFrameIsDrawnAgainExactly) {
  TImageList koartn;
  LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", koartn);
  QtDrawSurface s(koartn);
  TTable title, table;
  title.Phase = PhaseTitle;
  table.Phase = 2;
  table.PlayerSeat = {{3, -1, 14, 30, 7}, 12, 0, 1, 12};
  s.Start(2.25, QImage::Format_RGB32);
  s.Draw(title);
  const QImage first = s.Image().copy();
  for (const TTable* next : {&title, &table, &title, &title}) {
    s.Draw(*next);
    if (next == &title) {
      EXPECT_EQ(s.Image(), first);
    }
  }
  s.Start(1, QImage::Format_RGB32);
  s.Draw(title);
  s.Start(2.25, QImage::Format_RGB32);
  s.Draw(title);
  EXPECT_EQ(s.Image(), first);
}

// Scaled pictures are kept while the last two frames draw them, and the
// full-screen title only in the frame itself: a table whose cards all change
// keeps no more than before, and the title keeps nothing of its own.
TEST(QtDrawSurface, KeepsOnlyWhatTheLastTwoFramesDrew) {
  TImageList koartn;
  LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", koartn);
  QtDrawSurface s(koartn);
  s.Start(2.25, QImage::Format_RGB32);
  TTable title, first, second;
  title.Phase = PhaseTitle;
  first.Phase = second.Phase = 2;
  first.PlayerSeat.Hand = {0, 1, 2, 3, 4};
  second.PlayerSeat.Hand = {10, 11, 12, 13, 14};
  s.Draw(title);
  EXPECT_EQ(s.KeptPictures(), 0u);
  for (int i = 0; i < 2; ++i) s.Draw(first);
  const std::size_t kept = s.KeptPictures();
  EXPECT_GE(kept, 6u);  // the table, the five cards and more
  for (int i = 0; i < 2; ++i) s.Draw(second);
  EXPECT_EQ(s.KeptPictures(), kept);
  for (int i = 0; i < 2; ++i) s.Draw(title);
  EXPECT_EQ(s.KeptPictures(), 0u);
}

// A card whose request was forgotten because one frame did not draw it (the
// companion's one thread busy meanwhile) is asked for again by the next frame
// that draws it, and comes sharp.
TEST(QtDrawSurface, APictureLeftOutForAFrameStillComesSharp) {
  const fixtures::Bytes bytes = fixtures::ReadFile(KOLBET_RUN_DIR "/kolbet.dat");
  TImageList koartn;
  LoadGraphicsFrom(bytes, "kolbet.dat", koartn);
  QtDrawSurface s(koartn);
  std::atomic<bool> hold = true;
  s.UseSharpPictures(std::make_unique<TSharpPictures>(
      THdPack::Open(KOLBET_RUN_DIR "/kolbet.dat", PackEntrySizes(bytes, "kolbet.dat"), 1),
      [&] {
        for (int i = 0; i < 1000 && hold; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      },
      1));
  s.Start(2.25, QImage::Format_RGB32);
  TTable all, fewer;
  all.Phase = fewer.Phase = 2;
  all.PlayerSeat.Hand = {0, 1, 2, 3, 4};
  fewer.PlayerSeat.Hand = {0, 1, 2, 3, -1};  // the last card left out
  for (const TTable* table : {&all, &fewer, &all}) s.Draw(*table);
  hold = false;
  std::string none;
  for (int i = 0; i < 1000 && !s.AllFinal(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    s.TakeSharpPictures(none);
    s.Draw(all);
  }
  EXPECT_TRUE(s.AllFinal());
}

// A request forgotten before it was made, and a picture made and taken, are
// made again when they are asked for again; waiting requests are made newest
// first.
TEST(SharpPictures, APictureDroppedOrTakenIsMadeAgainWhenAskedAgain) {
  const fixtures::Bytes bytes = fixtures::ReadFile(KOLBET_RUN_DIR "/kolbet.dat");
  const std::shared_ptr<const THdPack> pack =
      THdPack::Open(KOLBET_RUN_DIR "/kolbet.dat", PackEntrySizes(bytes, "kolbet.dat"), 1);
  // The one worker holds after each picture until it is let go.
  std::mutex lock;
  std::condition_variable changed;
  int made = 0, letGo = 0;
  TSharpPictures sharp(pack, [&] {
    std::unique_lock<std::mutex> guard(lock);
    ++made;
    changed.notify_all();
    changed.wait_for(guard, std::chrono::seconds(10), [&] { return letGo >= made; });
  }, 1);
  const auto waitFor = [&](int count) {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::seconds(10), [&] { return made >= count; });
  };
  const auto release = [&] {
    const std::lock_guard<std::mutex> guard(lock);
    ++letGo;
    changed.notify_all();
  };
  const TSharpKey first{0, 20, 30, false}, second{1, 20, 30, false};
  sharp.Request(first);
  ASSERT_TRUE(waitFor(1));
  sharp.Request(second);  // queued behind the worker, which holds
  sharp.KeepOnly({});     // and forgotten
  sharp.Request(second);  // then asked for again
  release();
  ASSERT_TRUE(waitFor(2)) << "the request asked for again was not made";
  release();
  std::vector<TSharpKey> taken;
  for (const auto& [key, image] : sharp.TakeDone()) taken.push_back(key);
  EXPECT_EQ(taken, (std::vector<TSharpKey>{first, second}));
  sharp.Request(first);  // taken and let go: made anew
  ASSERT_TRUE(waitFor(3)) << "a picture taken was not made again";

  // Asked for while the worker holds: the newest, drawn last and so on top, first.
  const TSharpKey third{2, 20, 30, false};
  for (const TSharpKey& key : {second, third}) sharp.Request(key);
  for (int count = 4; count <= 5; ++count) {
    release();
    ASSERT_TRUE(waitFor(count));
  }
  release();
  taken.clear();
  for (const auto& [key, image] : sharp.TakeDone()) taken.push_back(key);
  EXPECT_EQ(taken, (std::vector<TSharpKey>{first, third, second}));
}

}  // namespace
