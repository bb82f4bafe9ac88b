#include "game/hit_regions.h"

namespace kolbet {

namespace {

// The test of one directed edge A→B. The line is worked out in 32-bit floats,
// each step rounded on its own, so that points close to a line fall on the same
// side every time; a vertical or zero-length edge is tilted by one pixel.
bool PassesEdge(TVertex a, TVertex b, int px, int py) {
  const int ax = a.X == b.X ? a.X + 1 : a.X;
  const float m = static_cast<float>(static_cast<double>(a.Y - b.Y) / (ax - b.X));
  const float c = static_cast<float>(a.Y - ax * static_cast<double>(m));
  const float yl = static_cast<float>(px * static_cast<double>(m) + c);
  if (ax < b.X) return py > yl;  // the edge runs to the right
  return py < yl;
}

}  // namespace

bool PointInPolygon(const THitRegion& region, int x, int y) {
  for (int i = 0; i < 6; ++i)
    if (!PassesEdge(region[i], region[(i + 1) % 6], x, y)) return false;
  return true;
}

int HitHandSlot(int x, int y, const std::array<std::int32_t, 5>& hand) {
  int slot = -1;
  for (int i = 0; i < 5; ++i)
    if (PointInPolygon(HandRegions[i], x, y) && hand[i] != -1) slot = i;
  return slot;
}

}  // namespace kolbet
