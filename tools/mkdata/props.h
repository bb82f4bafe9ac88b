#pragma once
// Things lying or standing on the table, drawn with QPainter: beer mats, a
// stone-glass beer mug, a pretzel and an hourglass. Each draws with antialiased
// edges and its own soft shadow onto whatever the painter paints on.

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include "tools/mkdata/fonts.h"

namespace kolbet::mkdata {

// A round cardboard beer mat of the given radius centred at `centre`.
void DrawBeerMat(QPainter& p, QPointF centre, double radius, const Fonts& fonts);

// A dimpled glass mug of beer seen slightly from above; `box` holds the body,
// the handle sticks out on the right by a third of the box width.
void DrawBeerMug(QPainter& p, const QRectF& box);

// A salted pretzel fitted into `box`, turned by `degrees`.
void DrawPretzel(QPainter& p, const QRectF& box, double degrees);

// An hourglass with wooden ends, sand running down, in `box`.
void DrawHourglass(QPainter& p, const QRectF& box);

}  // namespace kolbet::mkdata
