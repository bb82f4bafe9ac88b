// The beer-mug drawings: sizes at any scale, the panel's blue where nothing is
// drawn, beer that grows with the level, and a cursor whose tip is its hot spot.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cmath>

#include "assets/mug_art.h"
#include "tests/image_difference.h"

namespace kolbet {
namespace {

bool IsBeer(QRgb c) { return qRed(c) > 150 && qGreen(c) > 80 && qGreen(c) < 220 && qBlue(c) < 90; }
bool IsRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 70 && qBlue(c) < 70; }

struct Count {
  int beer = 0, red = 0;
};

Count CountColours(const QImage& img) {
  Count n;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      n.beer += IsBeer(c);
      n.red += IsRed(c);
    }
  return n;
}

TEST(MugPicture, SizeGroundFillAndCrossAtEveryScale) {
  for (double scale : {1.0, 2.25, 3.0}) {
    SCOPED_TRACE(scale);
    int lastBeer = -1;
    for (int level : {0, 1, 2, 3, 4, -1}) {
      SCOPED_TRACE(level);
      const QImage img = MugPicture(level, scale);
      ASSERT_EQ(img.width(), std::lround(24 * scale));
      ASSERT_EQ(img.height(), std::lround(32 * scale));
      const int w = img.width(), h = img.height();
      for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {0, h / 2}, {w / 2, 0}})
        EXPECT_EQ(img.pixel(x, y), 0xFF0000FFu) << x << "," << y;
      const Count n = CountColours(img);
      EXPECT_EQ(n.red > 0, level == -1);
      if (level >= 0) {
        EXPECT_GT(n.beer, lastBeer);  // each level holds more beer than the one below
        lastBeer = n.beer;
      }
      if (level <= 0) {
        EXPECT_EQ(n.beer, 0) << "the empty mug, crossed out or not";
      }
      // Drawn anew at each scale, not a small picture in a big one: brought
      // down to the surface size it looks like the picture at scale 1.
      if (scale != 1.0) {
        EXPECT_LT(MeanDifference(img.scaled(24, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                                 MugPicture(level)), 6);
      }
    }
  }
}

double Lightness(QRgb c) { return 0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c); }

TEST(TableCursor, TipInTheCornerDarkOutlineTransparentAround) {
  for (double scale : {1.0, 2.0}) {
    SCOPED_TRACE(scale);
    const QImage img = TableCursorPicture(scale).convertToFormat(QImage::Format_ARGB32);
    const int s = static_cast<int>(std::lround(32 * scale));
    ASSERT_EQ(img.size(), QSize(s, s));
    EXPECT_GT(qAlpha(img.pixel(0, 0)), 200);  // the hot spot is on the mug
    EXPECT_LT(Lightness(img.pixel(0, 0)), 90);
    for (auto [x, y] : {std::pair{s - 1, 0}, {0, s - 1}, {s - 1, s - 1}})
      EXPECT_EQ(qAlpha(img.pixel(x, y)), 0) << x << "," << y;
    // The left edge down from the tip is outlined dark all the way, so the
    // pointer reads on a light ground too.
    for (int y = 0; y < s * 3 / 4; ++y) {
      const QRgb c = img.pixel(0, y);
      EXPECT_TRUE(qAlpha(c) > 200 && Lightness(c) < 90) << y;
    }
    int clear = 0;
    for (int y = 0; y < s; ++y)
      for (int x = 0; x < s; ++x) clear += qAlpha(img.pixel(x, y)) == 0;
    EXPECT_GT(clear, s * s / 10);
    EXPECT_GT(CountColours(img).beer, s * s / 5);  // a full mug
  }
}

TEST(MugIcon, SquareTransparentGroundOpaqueMug) {
  for (int size : {16, 48, 256}) {
    const QImage img = MugIcon(size).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(size, size));
    for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
      EXPECT_EQ(qAlpha(img.pixel(x, y)), 0) << size;
    EXPECT_EQ(qAlpha(img.pixel(size * 2 / 5, size / 2)), 255) << size;
    EXPECT_GT(CountColours(img).beer, size * size / 8) << size;
  }
}

}  // namespace
}  // namespace kolbet

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
