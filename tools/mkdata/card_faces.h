#pragma once
// The 32 card faces, rendered from the German-suited SVG deck of the Debian
// package kdegames-card-data-kf5, and the game's own card back, painted here.

#include <QImage>
#include <QString>
#include <vector>
#include "tools/mkdata/fonts.h"
#include "tools/mkdata/gif_encoder.h"

namespace kolbet::mkdata {

// Size of every card picture. The hand is drawn at three quarters of it, and
// this size lets the drawn fan match the fixed hit regions of the hand best.
inline constexpr int CardWidth = 208;
inline constexpr int CardHeight = 380;
inline constexpr double CardCornerRadius = 13.0;

inline constexpr const char* DeckFile = "/usr/share/carddecks/svg-xskat-german/german.svgz";

// Whether the centre of pixel (x, y) of a card picture `scale` times the
// card's size lies inside the card's rounded outline.
bool InsideCardOutline(int x, int y, int scale = 1);

// The deck's element id of card n (suit * 8 + rank): "7_spade" ... "1_heart".
QString DeckElement(int card);

// Card pictures 0..31 in card order, then the back as picture 32. Each is the
// whole rectangle, opaque; outside the outline it holds the colour of the
// card's edge, which the overlay then paints pure blue. Throws
// std::runtime_error when the deck is missing or lacks an element. With a
// `scale` above 1 every picture is painted that many times larger, the deck's
// art and the lettering drawn at that size.
std::vector<QImage> RenderCards(const Fonts& fonts, const QString& deckFile = DeckFile, int scale = 1);

// The overlay shared by all card pictures: two colours, pure blue (index 0)
// outside the outline and the transparent index 1 inside; `scale` times the
// card's size.
IndexedPicture CardOverlay(int scale = 1);

}  // namespace kolbet::mkdata
