#pragma once
// The six pictures of the pack that are not cards: the title, the table, the
// two pictures along the left edge, the small picture near the opponent's fan
// and the waiting picture.

#include <QImage>
#include <vector>
#include "tools/mkdata/fonts.h"

namespace kolbet::mkdata {

struct TablePictures {
  QImage title;       // item 33, 640 x 480, opaque
  QImage table;       // item 34, 640 x 480, opaque
  QImage leftBefore;  // item 35, along the left edge under the cards; pure blue = not drawn
  QImage leftAfter;   // item 36, along the left edge over the cards; pure blue = not drawn
  QImage small;       // item 37, drawn at SmallPictureX/Y over the cards; pure blue = not drawn
  QImage waiting;     // item 38, opaque, bottom-right corner of the waiting screen
};

inline constexpr int ScreenWidth = 640;
inline constexpr int ScreenHeight = 480;
inline constexpr int SmallPictureX = 303;
inline constexpr int SmallPictureY = 17;

// `cards` are the 33 card pictures (faces, then the back); the title shows the
// three top cards and the waiting picture a few backs. With a `scale` above 1
// every picture is painted that many times larger (the sizes above, the
// positions on the screen and the cards' size stay counted in scale-1 pixels),
// and `cards` are the cards made at the same scale.
TablePictures DrawTablePictures(const Fonts& fonts, const std::vector<QImage>& cards, int scale = 1);

}  // namespace kolbet::mkdata
