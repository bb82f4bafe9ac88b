#pragma once
// Which of the player's five cards lies under a point of the drawing surface,
// and the title corner that opens the maker's page.
//
// Each hand slot has a fixed convex region of six vertices, the sixth equal to
// the first, running clockwise on the screen. The regions cover the fan as the
// table scene draws it and overlap the same way, slot 4 on top; they are fixed
// numbers and do not follow the pictures' real sizes.

#include <array>
#include <cstdint>

namespace kolbet {

struct TVertex {
  int X = 0;
  int Y = 0;
};

using THitRegion = std::array<TVertex, 6>;

inline constexpr std::array<THitRegion, 5> HandRegions = {{
    {{{94, 470}, {13, 306}, {149, 243}, {278, 479}, {221, 479}, {94, 470}}},
    {{{119, 454}, {81, 287}, {228, 248}, {294, 479}, {222, 479}, {119, 454}}},
    {{{149, 435}, {151, 258}, {303, 258}, {303, 479}, {196, 479}, {149, 435}}},
    {{{194, 398}, {234, 247}, {374, 283}, {328, 479}, {221, 479}, {194, 398}}},
    {{{220, 479}, {235, 370}, {314, 241}, {445, 307}, {362, 479}, {220, 479}}},
}};

// Whether (x, y) passes the test of all six directed edges 1→2, …, 6→1. An edge
// running to the right keeps the points below its line, one running to the
// left those above; a point on the line fails. The closing edge has no length
// and so cuts the region at the height of its first vertex.
bool PointInPolygon(const THitRegion& region, int x, int y);

// The hand slot (0..4) under (x, y) among the slots that hold a card, the
// highest where regions overlap; -1 when there is none.
int HitHandSlot(int x, int y, const std::array<std::int32_t, 5>& hand);

// The corner of the title screen that opens the maker's page.
constexpr bool InTitleCorner(int x, int y) { return x > 450 && y > 460; }

}  // namespace kolbet
