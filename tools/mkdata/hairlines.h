#pragma once
// Rendering the card deck at a larger scale with the line weights it has at
// scale 1. Qt's raster painter draws every stroke that comes out at most one
// pixel wide as a one-pixel line, so the deck's hairlines (0.2 units, about a
// quarter of a pixel on a card of 208 pixels) look one pixel wide on the
// scale-1 cards. Painted four times larger they would come out a quarter as
// heavy; here they are drawn `scale` pixels wide instead, one scale-1 pixel.

#include <QImage>
#include <QRectF>
#include <QString>
#include <QSvgRenderer>

namespace kolbet::mkdata {

// Renders the deck's element `id` into `bounds` (counted in scale-1 pixels)
// of `picture`, a picture `scale` times that size, no stroke thinner than
// `scale` pixels. `picture` must not be being painted on.
void RenderWithScaledHairlines(QSvgRenderer& deck, const QString& id, const QRectF& bounds, QImage& picture,
                               int scale);

}  // namespace kolbet::mkdata
