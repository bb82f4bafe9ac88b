#pragma once
// Procedural surfaces for the table pictures: wooden planks and card-table felt.
// Everything is computed from fixed seeds, so equal calls give equal pixels.
// Each takes a `scale` (1 or more): the picture is that many times larger and
// the noise is sampled at the same places of the pattern, so a picture made at
// scale 4 shows the scale-1 picture's pattern at four times the resolution.

#include <QImage>
#include <QRectF>
#include <cstdint>

namespace kolbet::mkdata {

// Smooth value noise in [0, 1] on a unit lattice, and a sum of octaves of it.
double ValueNoise(double x, double y, std::uint32_t seed);
double FractalNoise(double x, double y, std::uint32_t seed, int octaves);

struct WoodStyle {
  int plankSize = 96;        // plank width across the grain, in pixels
  bool vertical = false;     // planks run top to bottom instead of left to right
  QRgb light = 0xFFB8844E;   // early wood
  QRgb dark = 0xFF7A4A24;    // late wood and grain lines
  std::uint32_t seed = 1;
};

// A plank surface of the given size in pixels, with grain, knots-free rings,
// seams and butt joints; each plank slightly different in tone. The style's
// sizes count scale-1 pixels.
QImage WoodPlanks(int width, int height, const WoodStyle& style, int scale = 1);

// Lays green felt inside a rounded rectangle onto the picture, with a little
// nap, a darker rim and a stitched border. `area` and `radius` count scale-1
// pixels; the picture is `scale` times their size.
void LayFelt(QImage& picture, const QRectF& area, double radius, std::uint32_t seed, int scale = 1);

// Darkens the picture towards its edges around a pool of light at (cx, cy),
// both and `reach` in scale-1 pixels.
void LampLight(QImage& picture, double cx, double cy, double reach, double strength, int scale = 1);

}  // namespace kolbet::mkdata
