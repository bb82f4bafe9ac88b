#include "tools/mkdata/props.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace kolbet::mkdata {
namespace {

void SoftShadow(QPainter& p, const QRectF& ellipse, int alpha) {
  QRadialGradient g(ellipse.center(), std::max(ellipse.width(), ellipse.height()) / 2);
  g.setColorAt(0.0, QColor(0, 0, 0, alpha));
  g.setColorAt(0.7, QColor(0, 0, 0, alpha / 2));
  g.setColorAt(1.0, QColor(0, 0, 0, 0));
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  // A radial gradient fills a circle; squash it into the ellipse.
  p.translate(ellipse.center());
  p.scale(1.0, ellipse.height() / ellipse.width());
  p.translate(-ellipse.center());
  const double r = ellipse.width() / 2;
  p.drawEllipse(ellipse.center(), r, r);
  p.restore();
}

}  // namespace

void DrawBeerMat(QPainter& p, QPointF c, double r, const Fonts& fonts) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  SoftShadow(p, QRectF(c.x() - r + 3, c.y() - r + 5, 2 * r + 4, 2 * r + 4), 90);
  QRadialGradient card(c - QPointF(r * 0.3, r * 0.3), r * 1.4);
  card.setColorAt(0.0, QColor(246, 239, 220));
  card.setColorAt(1.0, QColor(222, 208, 178));
  p.setPen(QPen(QColor(170, 150, 115), 1.2));
  p.setBrush(card);
  p.drawEllipse(c, r, r);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(160, 28, 32), 3.0));
  p.drawEllipse(c, r - 6, r - 6);
  p.setPen(QPen(QColor(160, 28, 32), 1.0));
  p.drawEllipse(c, r - 10, r - 10);
  // A ring of small white-and-blue lozenges, printed faintly.
  for (int i = 0; i < 24; ++i) {
    const double a = i * 2 * M_PI / 24;
    const QPointF at = c + QPointF(std::cos(a), std::sin(a)) * (r - 15);
    QPolygonF lozenge;
    lozenge << at + QPointF(0, -3) << at + QPointF(2.2, 0) << at + QPointF(0, 3) << at + QPointF(-2.2, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(i % 2 ? QColor(120, 160, 205, 150) : QColor(250, 250, 250, 170));
    p.drawPolygon(lozenge);
  }
  QFont f(fonts.blackletter);
  f.setPixelSize(static_cast<int>(r * 0.32));
  p.setFont(f);
  p.setPen(QColor(160, 28, 32, 110));
  p.drawText(QRectF(c.x() - r, c.y() + r * 0.18, 2 * r, r * 0.4), Qt::AlignCenter, "Kolbet");
  p.restore();
}

void DrawBeerMug(QPainter& p, const QRectF& box) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double w = box.width(), h = box.height();
  const double cx = box.center().x();
  const double ry = w * 0.2;                 // half height of the rim ellipse
  const double top = box.top() + ry, bottom = box.bottom() - ry;
  SoftShadow(p, QRectF(box.left() + w * 0.1, bottom - ry * 0.6, w * 1.45, ry * 2.8), 120);

  // Handle: a thick glass loop on the right, behind the body's edge.
  QPainterPath handle;
  handle.moveTo(box.right() - w * 0.05, top + h * 0.12);
  handle.cubicTo(box.right() + w * 0.42, top + h * 0.08, box.right() + w * 0.42, bottom - h * 0.12,
                 box.right() - w * 0.05, bottom - h * 0.18);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(120, 130, 110, 230), w * 0.15, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(handle);
  p.setPen(QPen(QColor(235, 240, 225, 200), w * 0.05, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(handle.translated(-w * 0.015, -w * 0.02));

  // Body: the beer seen through the glass, darker at the sides.
  QPainterPath body;
  body.moveTo(box.left(), top);
  body.lineTo(box.left(), bottom);
  body.arcTo(QRectF(box.left(), bottom - ry, w, 2 * ry), 180, 180);
  body.lineTo(box.right(), top);
  body.closeSubpath();
  QLinearGradient beer(box.left(), 0, box.right(), 0);
  beer.setColorAt(0.0, QColor(120, 62, 8));
  beer.setColorAt(0.3, QColor(226, 150, 32));
  beer.setColorAt(0.55, QColor(246, 186, 60));
  beer.setColorAt(1.0, QColor(132, 70, 10));
  p.setPen(QPen(QColor(90, 60, 20), 1.0));
  p.setBrush(beer);
  p.drawPath(body);

  // The thick glass foot.
  QPainterPath foot;
  foot.moveTo(box.left(), bottom - h * 0.1);
  foot.lineTo(box.left(), bottom);
  foot.arcTo(QRectF(box.left(), bottom - ry, w, 2 * ry), 180, 180);
  foot.lineTo(box.right(), bottom - h * 0.1);
  foot.arcTo(QRectF(box.left(), bottom - h * 0.1 - ry, w, 2 * ry), 0, -180);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(225, 232, 210, 120));
  p.drawPath(foot);

  // Dimples: ovals in rows, narrowing towards the sides of the cylinder.
  for (int row = 0; row < 3; ++row) {
    const double y = top + h * (0.2 + 0.22 * row);
    for (int col = -2; col <= 2; ++col) {
      const double a = col * 0.55;
      const double x = cx + std::sin(a) * w * 0.42;
      const double dw = w * 0.15 * std::cos(a), dh = h * 0.16;
      QRectF oval(x - dw / 2, y - dh / 2, dw, dh);
      p.setBrush(QColor(255, 236, 180, 70));
      p.setPen(QPen(QColor(100, 55, 10, 110), 1.0));
      p.drawEllipse(oval);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 255, 120));
      p.drawEllipse(QRectF(oval.left() + dw * 0.2, oval.top() + dh * 0.12, dw * 0.25, dh * 0.35));
    }
  }
  // A long highlight down the glass.
  QLinearGradient shine(box.left() + w * 0.12, 0, box.left() + w * 0.3, 0);
  shine.setColorAt(0.0, QColor(255, 255, 255, 0));
  shine.setColorAt(0.5, QColor(255, 255, 255, 120));
  shine.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.setBrush(shine);
  p.drawRect(QRectF(box.left() + w * 0.12, top + h * 0.05, w * 0.18, h * 0.72));

  // Foam: a cream ellipse with a bubbly rim running a little over the glass.
  const QRectF rim(box.left(), top - ry, w, 2 * ry);
  p.setPen(QPen(QColor(200, 190, 160), 1.0));
  QRadialGradient foam(rim.center() - QPointF(w * 0.15, ry * 0.3), w * 0.7);
  foam.setColorAt(0.0, QColor(255, 252, 240));
  foam.setColorAt(1.0, QColor(228, 214, 180));
  p.setBrush(foam);
  p.drawEllipse(rim);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 18; ++i) {
    const double a = M_PI * (0.05 + 0.9 * i / 17.0);
    const QPointF at(cx + std::cos(a) * w * 0.5, top + std::sin(a) * ry);
    const double b = w * (0.035 + 0.02 * ((i * 7) % 3));
    p.setBrush(QColor(250, 246, 232));
    p.drawEllipse(at, b, b);
  }
  p.setPen(QPen(QColor(170, 175, 160), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(rim.adjusted(-1, -1, 1, 1));
  p.restore();
}

void DrawPretzel(QPainter& p, const QRectF& box, double degrees) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(box.center());
  p.rotate(degrees);
  const double sx = box.width() / 2, sy = box.height() / 2;
  auto at = [&](double x, double y) { return QPointF(x * sx, y * sy); };
  // One stroke: left end over the belly, up to the twist, round the big loop
  // and back through the twist to the right end.
  QPainterPath path;
  path.moveTo(at(-0.42, 0.5));
  path.cubicTo(at(-0.2, 0.1), at(0.25, -0.05), at(0.35, -0.5));
  path.cubicTo(at(0.45, -0.95), at(0.95, -0.8), at(0.95, -0.1));
  path.cubicTo(at(0.95, 0.6), at(0.4, 0.92), at(0.0, 0.92));
  path.cubicTo(at(-0.4, 0.92), at(-0.95, 0.6), at(-0.95, -0.1));
  path.cubicTo(at(-0.95, -0.8), at(-0.45, -0.95), at(-0.35, -0.5));
  path.cubicTo(at(-0.25, -0.05), at(0.2, 0.1), at(0.42, 0.5));
  const double thick = std::min(sx, sy) * 0.3;
  p.setBrush(Qt::NoBrush);
  SoftShadow(p, QRectF(-sx + 4, -sy + 6, 2 * sx + 4, 2 * sy + 4), 70);
  p.setPen(QPen(QColor(78, 36, 10), thick + 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(QColor(150, 72, 20), thick, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(QColor(196, 112, 44), thick * 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path.translated(-thick * 0.12, -thick * 0.15));
  p.setPen(QPen(QColor(226, 160, 90, 150), thick * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path.translated(-thick * 0.2, -thick * 0.25));
  // Coarse salt along the stroke.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 250, 246));
  const int grains = 46;
  for (int i = 0; i < grains; ++i) {
    const double t = (i + 0.5) / grains;
    const QPointF q = path.pointAtPercent(t);
    const double off = ((i * 37) % 11 - 5) / 5.0 * thick * 0.25;
    const double angle = path.angleAtPercent(t) * M_PI / 180;
    const QPointF n(std::sin(angle) * off, std::cos(angle) * off);
    const double g = 1.1 + 0.5 * ((i * 13) % 3);
    p.drawRect(QRectF(q + n, QSizeF(g, g)));
  }
  p.restore();
}

void DrawHourglass(QPainter& p, const QRectF& box) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double w = box.width(), h = box.height(), cx = box.center().x();
  const double cap = h * 0.08;
  SoftShadow(p, QRectF(box.left() + w * 0.05, box.bottom() - cap, w * 1.1, cap * 1.8), 110);
  const double inTop = box.top() + cap, inBottom = box.bottom() - cap, mid = (inTop + inBottom) / 2;
  const double half = w * 0.36, neck = w * 0.045;
  QPainterPath glass;
  glass.moveTo(cx - half, inTop);
  glass.cubicTo(cx - half, mid - h * 0.12, cx - neck, mid - h * 0.08, cx - neck, mid);
  glass.cubicTo(cx - neck, mid + h * 0.08, cx - half, mid + h * 0.12, cx - half, inBottom);
  glass.lineTo(cx + half, inBottom);
  glass.cubicTo(cx + half, mid + h * 0.12, cx + neck, mid + h * 0.08, cx + neck, mid);
  glass.cubicTo(cx + neck, mid - h * 0.08, cx + half, mid - h * 0.12, cx + half, inTop);
  glass.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(210, 225, 230, 90));
  p.drawPath(glass);
  // Sand: what is left above, the thin stream, and the heap below.
  p.save();
  p.setClipPath(glass);
  QLinearGradient sand(0, inTop, 0, inBottom);
  sand.setColorAt(0.0, QColor(236, 196, 120));
  sand.setColorAt(1.0, QColor(200, 150, 80));
  p.setBrush(sand);
  p.drawRect(QRectF(cx - half, mid - h * 0.17, 2 * half, h * 0.17));
  QPainterPath heap;
  heap.moveTo(cx - half, inBottom);
  heap.quadTo(cx - half * 0.3, inBottom - h * 0.04, cx, inBottom - h * 0.17);
  heap.quadTo(cx + half * 0.3, inBottom - h * 0.04, cx + half, inBottom);
  heap.closeSubpath();
  p.drawPath(heap);
  p.drawRect(QRectF(cx - 1.0, mid - 2, 2.0, inBottom - mid - h * 0.1));
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(240, 248, 250, 200), 1.6));
  p.drawPath(glass);
  p.setPen(QPen(QColor(255, 255, 255, 150), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(cx - half * 0.7, inTop + h * 0.05), QPointF(cx - half * 0.6, mid - h * 0.16));
  // Turned wooden ends and the three posts.
  QLinearGradient wood(box.left(), 0, box.right(), 0);
  wood.setColorAt(0.0, QColor(92, 48, 18));
  wood.setColorAt(0.4, QColor(170, 100, 46));
  wood.setColorAt(1.0, QColor(80, 40, 14));
  p.setPen(QPen(QColor(50, 24, 8), 1.0));
  p.setBrush(wood);
  p.drawRoundedRect(QRectF(box.left(), box.top(), w, cap), 3, 3);
  p.drawRoundedRect(QRectF(box.left(), box.bottom() - cap, w, cap), 3, 3);
  for (double x : {box.left() + w * 0.06, box.right() - w * 0.12})
    p.drawRect(QRectF(x, inTop, w * 0.06, inBottom - inTop));
  p.restore();
}

}  // namespace kolbet::mkdata
