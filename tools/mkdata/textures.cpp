#include "tools/mkdata/textures.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace kolbet::mkdata {
namespace {

std::uint32_t Hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

double Lattice(int x, int y, std::uint32_t seed) {
  const std::uint32_t h = Hash(static_cast<std::uint32_t>(x) * 0x9E3779B1U ^ Hash(static_cast<std::uint32_t>(y) + seed));
  return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

double Mix(double a, double b, double t) { return a + (b - a) * t; }

QRgb MixColour(QRgb a, QRgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return qRgb(static_cast<int>(std::lround(Mix(qRed(a), qRed(b), t))),
              static_cast<int>(std::lround(Mix(qGreen(a), qGreen(b), t))),
              static_cast<int>(std::lround(Mix(qBlue(a), qBlue(b), t))));
}

QRgb Scale(QRgb c, double f) {
  auto ch = [f](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, 255); };
  return qRgb(ch(qRed(c)), ch(qGreen(c)), ch(qBlue(c)));
}

// Where pixel i of a picture `scale` times the size samples the scale-1
// pattern: scale-1 pixel i samples at i, and the centres of the scale × scale
// pixels that make it up lie evenly round that point.
double Sample(int i, int scale) { return scale == 1 ? i : (i + 0.5) / scale - 0.5; }

// Calls row(y, line) for the rows begin .. end - 1 of `img`, `line` pointing
// at the row's pixels, the rows dealt out among the processor's cores. A row's
// pixels depend on nothing but its own coordinates, so the picture is the same
// however the rows are shared.
template <class Row>
void ForEachRow(QImage& img, int begin, int end, const Row& row) {
  uchar* const bits = img.bits();
  const qsizetype stride = img.bytesPerLine();
  auto rows = [&](int first, int step) {
    for (int y = first; y < end; y += step) row(y, reinterpret_cast<QRgb*>(bits + y * stride));
  };
  const int cores = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
  std::vector<std::thread> helpers;
  for (int i = 1; i < cores; ++i) helpers.emplace_back(rows, begin + i, cores);
  rows(begin, cores);
  for (std::thread& t : helpers) t.join();
}

}  // namespace

double ValueNoise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const double tx = Smooth(x - fx), ty = Smooth(y - fy);
  const double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
  const double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
  return Mix(Mix(a, b, tx), Mix(c, d, tx), ty);
}

double FractalNoise(double x, double y, std::uint32_t seed, int octaves) {
  double sum = 0, amplitude = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * ValueNoise(x, y, seed + 101U * i);
    total += amplitude;
    x *= 2.03;
    y *= 2.03;
    amplitude *= 0.5;
  }
  return sum / total;
}

QImage WoodPlanks(int width, int height, const WoodStyle& s, int scale) {
  QImage img(width, height, QImage::Format_RGB32);
  const int along = (s.vertical ? height : width) / scale;
  ForEachRow(img, 0, height, [&](int y, QRgb* line) {
    for (int x = 0; x < width; ++x) {
      // Planks, seams and joints follow the scale-1 pixel grid; the noise is
      // sampled in between.
      const int a = (s.vertical ? x : y) / scale;  // across the grain
      const int g = (s.vertical ? y : x) / scale;  // along the grain
      const double alongAt = Sample(s.vertical ? y : x, scale);
      const double acrossAt = Sample(s.vertical ? x : y, scale);
      const int plank = a / s.plankSize;
      const int inPlank = a % s.plankSize;
      const double inPlankAt = acrossAt - plank * s.plankSize;
      // Each plank has its own butt joint somewhere along it.
      const int joint = static_cast<int>(Hash(s.seed * 31U + plank) % static_cast<std::uint32_t>(along + 200)) - 100;
      const bool secondBoard = g >= joint;
      const std::uint32_t board = s.seed + 977U * plank + (secondBoard ? 13U : 0U);
      const double tone = 0.9 + 0.2 * Lattice(plank, secondBoard, s.seed + 5);
      // Growth rings: bent lines along the grain, warped by slow noise.
      const double warp = FractalNoise(alongAt / 170.0, inPlankAt / 45.0, board, 3);
      const double ringPos = (inPlankAt + 60 * warp) / 9.0 + 4 * ValueNoise(alongAt / 400.0, 0.5, board + 3);
      const double ring = std::pow(0.5 + 0.5 * std::sin(ringPos * 2 * M_PI), 3.0);
      // Fine pores: noise stretched far along the grain.
      const double pores = FractalNoise(alongAt / 55.0, inPlankAt / 1.6, board + 7, 3);
      double t = 0.55 * ring + 0.6 * (pores - 0.35);
      QRgb c = MixColour(s.light, s.dark, t);
      c = Scale(c, tone);
      // Seams between planks and at the butt joints.
      if (inPlank == 0 || inPlank == s.plankSize - 1) c = Scale(c, 0.45);
      else if (inPlank == 1) c = Scale(c, 1.12);
      else if (inPlank == s.plankSize - 2) c = Scale(c, 0.75);
      if (g == joint || g == joint + 1) c = Scale(c, 0.5);
      line[x] = c;
    }
  });
  return img;
}

void LayFelt(QImage& picture, const QRectF& area, double radius, std::uint32_t seed, int scale) {
  QPainterPath shape;
  shape.addRoundedRect(area, radius, radius);
  // A soft drop shadow of the mat on the table first.
  {
    QPainter p(&picture);
    if (scale != 1) p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
      p.setBrush(QColor(0, 0, 0, 14));
      p.drawRoundedRect(area.translated(2, 3).adjusted(-i, -i, i, i), radius + i, radius + i);
    }
  }
  QImage felt(picture.size(), QImage::Format_ARGB32_Premultiplied);
  felt.fill(Qt::transparent);
  const int top = static_cast<int>(area.top()) * scale, bottom = (static_cast<int>(area.bottom()) + 1) * scale;
  const int left = static_cast<int>(area.left()) * scale, right = (static_cast<int>(area.right()) + 1) * scale;
  ForEachRow(felt, std::max(top, 0), std::min(bottom, felt.height()), [&](int y, QRgb* line) {
    for (int x = std::max(left, 0); x < right && x < felt.width(); ++x) {
      const double sx = Sample(x, scale), sy = Sample(y, scale);
      const double nap = FractalNoise(sx / 3.0, sy / 3.0, seed, 2);
      const double cloud = FractalNoise(sx / 90.0, sy / 90.0, seed + 11, 3);
      // Distance to the rim darkens the felt where it bends over the edge.
      const double dx = std::min(sx - area.left(), area.right() - sx);
      const double dy = std::min(sy - area.top(), area.bottom() - sy);
      const double edge = std::clamp(std::min(dx, dy) / 14.0, 0.0, 1.0);
      const double f = (0.82 + 0.12 * cloud + 0.10 * nap) * (0.72 + 0.28 * edge);
      line[x] = Scale(qRgb(38, 112, 58), f);
    }
  });
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  if (scale == 1) {
    p.setClipPath(shape);
    p.drawImage(0, 0, felt);
  } else {
    // The felt is already at the picture's size; only the outline is scaled.
    p.setClipPath(QTransform::fromScale(scale, scale).map(shape));
    p.drawImage(0, 0, felt);
    p.scale(scale, scale);
    p.setClipPath(shape);
  }
  // The stitched border a little inside the rim.
  QPen stitch(QColor(214, 186, 96), 1.6);
  stitch.setDashPattern({4.0, 3.0});
  p.setPen(stitch);
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(area.adjusted(9, 9, -9, -9), radius - 7, radius - 7);
  p.setClipping(false);
  p.setPen(QPen(QColor(16, 52, 26), 1.5));
  p.drawPath(shape);
}

void LampLight(QImage& picture, double cx, double cy, double reach, double strength, int scale) {
  ForEachRow(picture, 0, picture.height(), [&](int y, QRgb* line) {
    for (int x = 0; x < picture.width(); ++x) {
      const double d = std::hypot(Sample(x, scale) - cx, Sample(y, scale) - cy) / reach;
      const double f = 1.0 + 0.08 * strength - strength * std::min(1.0, d * d);
      line[x] = (line[x] & 0xFF000000) | (Scale(line[x], f) & 0x00FFFFFF);
    }
  });
}

}  // namespace kolbet::mkdata
