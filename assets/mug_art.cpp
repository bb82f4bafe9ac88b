#include "assets/mug_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace kolbet {
namespace {

// One mug, drawn in its own units: the rim runs from (0, 0) to (BodyWidth, 0),
// the foot stands at BodyHeight, the handle sticks out on the right.
constexpr double BodyWidth = 14;
constexpr double BodyHeight = 22;
constexpr double FootRadius = 2.2;  // the foot's rounded corners
constexpr double Wall = 1.1;        // glass of the sides
constexpr double Foot = 2.6;        // glass of the foot
constexpr double HandleReach = 5;   // how far the handle's loop sticks out
constexpr double FoamDepth = 4.5;   // the head of foam inside the glass
constexpr double CrownHeight = 2.4; // the foam standing above the rim

// Beer in the glass for levels 0..4: empty, a little, a third, half, full.
constexpr std::array<double, 5> BeerShare = {0.0, 0.15, 1.0 / 3, 0.5, 1.0};

constexpr QRgb PanelBlue = 0xFF0000FF;

struct MugLook {
  QColor outline;
  double outlineWidth;  // in the mug's units
  QColor glass;
  double beer;          // share of the inside filled, 0..1
  bool foam;            // a head of foam on a full mug
  bool crown;           // the foam stands up over the rim
  double taper;         // how much the body narrows towards the foot on each side
};

QPainterPath Body(double taper) {
  QPainterPath body;
  body.moveTo(0, 0);
  body.lineTo(BodyWidth, 0);
  body.lineTo(BodyWidth - taper, BodyHeight - FootRadius);
  body.quadTo(BodyWidth - taper, BodyHeight, BodyWidth - taper - FootRadius, BodyHeight);
  body.lineTo(taper + FootRadius, BodyHeight);
  body.quadTo(taper, BodyHeight, taper, BodyHeight - FootRadius);
  body.closeSubpath();
  return body;
}

QPainterPath Handle() {
  QPainterPath handle;
  handle.moveTo(BodyWidth - 0.4, 3.2);
  handle.cubicTo(BodyWidth + HandleReach * 1.25, 2.4, BodyWidth + HandleReach * 1.15, 17.5, BodyWidth - 0.7, 16.2);
  return handle;
}

// The inside of the glass, open at the top.
QRectF Inside(double taper) {
  return QRectF(taper + Wall, 0, BodyWidth - 2 * (taper + Wall), BodyHeight - Foot);
}

// A row of foam bubbles along the line y, from x0 to x1.
QPainterPath Bubbles(double x0, double x1, double y, double radius) {
  QPainterPath bubbles;
  const int n = std::max(2, static_cast<int>(std::round((x1 - x0) / (1.6 * radius))));
  for (int i = 0; i <= n; ++i) {
    const double r = radius * (i % 2 ? 0.8 : 1.0);
    bubbles.addEllipse(QPointF(x0 + (x1 - x0) * i / n, y), r, r);
  }
  return bubbles.simplified();
}

QPainterPath Crown() {
  QPainterPath crown;
  crown.addRoundedRect(QRectF(-0.3, -CrownHeight * 0.55, BodyWidth + 0.6, CrownHeight * 0.55 + 0.8), 1, 1);
  crown = crown.united(Bubbles(1.6, BodyWidth - 1.6, -CrownHeight * 0.55, CrownHeight * 0.5));
  return crown;
}

// Paints the mug with its rim's left corner at the painter's origin.
void PaintMug(QPainter& p, const MugLook& look) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QPen outline(look.outline, look.outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
  const QColor foam(255, 250, 236);

  // The handle: a thick glass loop, outlined.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(look.outline, 2.4 + 2 * look.outlineWidth, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(Handle());
  p.setPen(QPen(look.glass, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(Handle());

  const QPainterPath body = Body(look.taper);
  p.setPen(Qt::NoPen);
  p.setBrush(look.glass);
  p.drawPath(body);

  // Beer up from the foot, darker at the sides of the round glass.
  const QRectF inside = Inside(look.taper);
  const double level = inside.bottom() - inside.height() * std::clamp(look.beer, 0.0, 1.0);
  if (look.beer > 0) {
    QLinearGradient beer(inside.left(), 0, inside.right(), 0);
    beer.setColorAt(0.0, QColor(196, 112, 8));
    beer.setColorAt(0.4, QColor(250, 184, 36));
    beer.setColorAt(1.0, QColor(206, 122, 10));
    p.setBrush(beer);
    p.drawRect(QRectF(inside.left(), level, inside.width(), inside.bottom() - level));
    if (!look.foam) {  // a thin light film on the beer's surface
      p.setBrush(QColor(255, 226, 140));
      p.drawRect(QRectF(inside.left(), level, inside.width(), 0.7));
    }
  }
  if (look.foam) {
    p.save();
    p.setClipRect(inside);
    p.setBrush(foam);
    p.drawRect(QRectF(inside.left(), 0, inside.width(), FoamDepth - 0.8));
    p.drawPath(Bubbles(inside.left(), inside.right(), FoamDepth - 0.9, 0.9));
    p.restore();
  }
  // A long shine down the glass, left of the middle.
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawRect(QRectF(inside.left() + 0.9, 1.2, 1.1, inside.height() - 2.4));

  p.setBrush(Qt::NoBrush);
  p.setPen(outline);
  p.drawPath(body);
  // The top of the foot, seen through the glass.
  p.setPen(QPen(look.outline, look.outlineWidth * 0.6));
  p.drawLine(QPointF(inside.left(), inside.bottom()), QPointF(inside.right(), inside.bottom()));

  if (look.foam && look.crown) {
    const QPainterPath crown = Crown();
    p.setPen(QPen(look.outline, look.outlineWidth));
    p.setBrush(foam);
    p.drawPath(crown);
  }
  p.restore();
}

QImage Transparent(int w, int h) {
  QImage img(std::max(1, w), std::max(1, h), QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

int Scaled(int size, double scale) {
  return std::max(1, static_cast<int>(std::lround(size * std::max(scale, 0.0))));
}

}  // namespace

QImage MugPicture(int level, double scale) {
  QImage img(Scaled(24, scale), Scaled(32, scale), QImage::Format_RGB32);
  img.fill(PanelBlue);
  QPainter p(&img);
  p.scale(img.width() / 24.0, img.height() / 32.0);
  const bool known = level >= 0 && level < static_cast<int>(BeerShare.size());
  MugLook look{QColor(238, 244, 255), 1.0, QColor(150, 178, 236), known ? BeerShare[level] : 0.0, level == 4, true, 0.6};
  p.save();
  p.translate(2.5, 7.5);
  PaintMug(p, look);
  p.restore();
  if (level == -1) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(230, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 5), QPointF(21, 29));
    p.drawLine(QPointF(21, 5), QPointF(3, 29));
  }
  return img;
}

QImage TableCursorPicture(double scale) {
  QImage img = Transparent(Scaled(32, scale), Scaled(32, scale));
  QPainter p(&img);
  const double unit = img.width() / 32.0;
  // The mug fills the square; its outline's outer edge touches the top and
  // left border, so the rim's corner covers the top-left pixel. The sides are
  // upright so that the left edge stays one crisp dark column.
  const double size = 18 / BodyWidth, line = 1.1;  // 18 pixels wide: both sides on whole pixels
  p.scale(unit * size, unit * size);
  p.translate(line / 2, line / 2);
  PaintMug(p, MugLook{QColor(48, 28, 10), line, QColor(224, 234, 240), 1.0, true, false, 0.0});
  return img;
}

QImage MugIcon(int size) {
  size = std::max(size, 1);
  QImage img = Transparent(size, size);
  QPainter p(&img);
  // The mug's bounds with its handle and crown, centred with a small margin.
  const double k = size * 0.9 / (BodyHeight + CrownHeight + 1.6);
  const double line = std::max(0.55, 1.3 / k);
  const double w = BodyWidth + HandleReach + 1.4, h = BodyHeight + CrownHeight + 1.6;
  p.translate((size - w * k) / 2, (size - h * k) / 2);
  p.scale(k, k);
  p.translate(0.3, CrownHeight + 0.8);
  PaintMug(p, MugLook{QColor(48, 28, 10), line, QColor(224, 234, 240), 1.0, true, true, 0.6});
  return img;
}

}  // namespace kolbet
