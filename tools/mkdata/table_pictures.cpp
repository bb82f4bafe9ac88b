#include "tools/mkdata/table_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "rules/cards.h"
#include "tools/mkdata/card_faces.h"
#include "tools/mkdata/gif_encoder.h"
#include "tools/mkdata/props.h"
#include "tools/mkdata/textures.h"

namespace kolbet::mkdata {
namespace {

// Where things lie on the table, in screen pixels.
const QRectF FeltArea(96, 88, 428, 372);
const QRectF MugBody(542, 62, 56, 92);
const QRectF PretzelBox(548, 238, 84, 72);
constexpr double MatRadius = 44;
const QPointF OpponentMat(30, 30);
const QPointF PlayerMat(30, 452);
constexpr int LeftStripWidth = 84;
constexpr int PlayerMatTop = 396;  // top of item 36 on the screen

// Every picture below is painted `scale` times the size of the screen's
// pixels: its painter counts screen pixels and draws at the picture's size.
void ScalePainter(QPainter& p, int scale) {
  if (scale != 1) p.scale(scale, scale);
}

QImage TableSurface(int scale) {
  WoodStyle oak;
  oak.plankSize = 120;
  oak.light = 0xFFC08A52;
  oak.dark = 0xFF7E4B22;
  oak.seed = 7;
  QImage table = WoodPlanks(ScreenWidth * scale, ScreenHeight * scale, oak, scale);
  QPainter p(&table);
  ScalePainter(p, scale);
  p.setRenderHint(QPainter::Antialiasing);
  // Old rings left by glasses on the wood.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(60, 30, 10, 40), 2.5));
  p.drawArc(QRectF(28, 190, 46, 46), 30 * 16, 280 * 16);
  p.setPen(QPen(QColor(60, 30, 10, 28), 2.0));
  p.drawArc(QRectF(556, 372, 50, 50), 200 * 16, 250 * 16);
  p.end();
  LayFelt(table, FeltArea, 26, 21, scale);
  return table;
}

// Lays a transparent layer over the table and keys out what the layer leaves
// empty: the result covers `area` of the screen, pure blue wherever the layer
// has nothing, the table seen through the layer's soft edges elsewhere.
// `area` counts screen pixels, the table and the layer are `scale` times larger.
QImage KeyedOverTable(const QImage& table, const QImage& layer, const QRect& area, int scale) {
  const QRect scaled(area.topLeft() * scale, area.size() * scale);
  QImage out = table.copy(scaled).convertToFormat(QImage::Format_RGB32);
  QPainter p(&out);
  p.drawImage(0, 0, layer);
  p.end();
  for (int y = 0; y < out.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    const QRgb* alpha = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (qAlpha(alpha[x]) == 0) line[x] = KeyBlue;
  }
  return out;
}

QImage Layer(QSize size, int scale) {
  QImage layer(size * scale, QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  return layer;
}

// A card picture laid down with its rounded corners, turned about `pivot`
// (given in the card's own pixels) placed at `at`. The picture may be larger
// than the card by a whole factor; it is laid at the card's size all the same.
void LayCard(QPainter& p, const QImage& card, QPointF at, QPointF pivot, double scale, double degrees) {
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, CardWidth, CardHeight), CardCornerRadius, CardCornerRadius);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.translate(at);
  p.rotate(degrees);
  p.scale(scale, scale);
  p.translate(-pivot);
  p.setPen(Qt::NoPen);
  for (int i = 5; i >= 1; --i) {
    p.setBrush(QColor(0, 0, 0, 18));
    p.drawPath(outline.translated(4 + i * 0.6, 6 + i * 0.6));
  }
  p.setClipPath(outline);
  if (card.width() == CardWidth) p.drawImage(0, 0, card);
  else p.drawImage(QRectF(0, 0, CardWidth, CardHeight), card);
  p.setClipping(false);
  p.setPen(QPen(QColor(90, 90, 90), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(outline);
  p.restore();
}

QImage TitlePicture(const Fonts& fonts, const std::vector<QImage>& cards, int scale) {
  WoodStyle walnut;
  walnut.plankSize = 110;
  walnut.light = 0xFF9A6236;
  walnut.dark = 0xFF5A3218;
  walnut.seed = 33;
  QImage img = WoodPlanks(ScreenWidth * scale, ScreenHeight * scale, walnut, scale);
  LampLight(img, 320, 200, 460, 0.55, scale);
  QPainter p(&img);
  ScalePainter(p, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  // The name, in gold blackletter with a dark edge and a shadow on the wood.
  QFont font(fonts.blackletter);
  font.setPixelSize(84);
  font.setHintingPreference(QFont::PreferNoHinting);
  QPainterPath name;
  name.addText(0, 0, font, "Brivlo Kolbet");
  const QRectF bounds = name.boundingRect();
  const double fit = std::min(1.0, 560.0 / bounds.width());
  QTransform place;
  place.translate(320 - bounds.center().x() * fit, 88 - bounds.center().y() * fit);
  place.scale(fit, fit);
  name = place.map(name);
  p.setPen(Qt::NoPen);
  for (int i = 6; i >= 1; --i) {
    p.setBrush(QColor(0, 0, 0, 26));
    p.drawPath(name.translated(i * 0.9, i * 1.2));
  }
  QLinearGradient gold(0, 40, 0, 130);
  gold.setColorAt(0.0, QColor(255, 236, 150));
  gold.setColorAt(0.45, QColor(222, 168, 48));
  gold.setColorAt(0.55, QColor(178, 118, 22));
  gold.setColorAt(1.0, QColor(250, 210, 110));
  p.setPen(QPen(QColor(54, 26, 6), 2.2));
  p.setBrush(gold);
  p.drawPath(name);

  // The three top cards, fanned: Oachl Sima, Schölln Sima, Hirz Kini on top.
  const double cardScale = 0.5;
  const QPointF pivot(CardWidth / 2.0, CardHeight * 0.95);
  const int shown[3] = {OachlSima, SchoellnSima, HirzKini};
  for (int i = 0; i < 3; ++i)
    LayCard(p, cards[shown[i]], QPointF(320 + (i - 1) * 18, 336), pivot, cardScale, (i - 1) * 16.0);

  DrawBeerMug(p, QRectF(56, 196, 66, 108));
  DrawPretzel(p, QRectF(486, 226, 104, 88), -12);

  // Where the deck and the voice come from, small at the bottom left.
  QFont small(fonts.sans);
  small.setPixelSize(11);
  small.setBold(true);
  p.setFont(small);
  p.setPen(QColor(236, 220, 190));
  p.drawText(QPointF(8, 462), "Koartn: XSkat-Blatt von Gunter Gerhardt (GPL)");
  p.drawText(QPointF(8, 475), "Stimm: eSpeak NG");
  return img;
}

QImage LeftBefore(const QImage& table, const Fonts& fonts, int scale) {
  QImage layer = Layer(QSize(LeftStripWidth, ScreenHeight), scale);
  QPainter p(&layer);
  ScalePainter(p, scale);
  DrawBeerMat(p, OpponentMat, MatRadius, fonts);
  p.end();
  return KeyedOverTable(table, layer, QRect(0, 0, LeftStripWidth, ScreenHeight), scale);
}

QImage LeftAfter(const QImage& table, const Fonts& fonts, int scale) {
  const QRect area(0, PlayerMatTop, LeftStripWidth, ScreenHeight - PlayerMatTop);
  QImage layer = Layer(area.size(), scale);
  QPainter p(&layer);
  ScalePainter(p, scale);
  DrawBeerMat(p, PlayerMat - QPointF(0, PlayerMatTop), MatRadius, fonts);
  p.end();
  return KeyedOverTable(table, layer, area, scale);
}

QImage SmallPicture(const QImage& table, int scale) {
  const QRect area(SmallPictureX, SmallPictureY, ScreenWidth - SmallPictureX, 190 - SmallPictureY);
  QImage layer = Layer(area.size(), scale);
  QPainter p(&layer);
  ScalePainter(p, scale);
  DrawBeerMug(p, MugBody.translated(-area.topLeft()));
  p.end();
  return KeyedOverTable(table, layer, area, scale);
}

QImage WaitingPicture(const std::vector<QImage>& cards, int scale) {
  const QSize size(200, 150);
  QImage img(size * scale, QImage::Format_RGB32);
  img.fill(QColor(38, 112, 58));
  LayFelt(img, QRectF(0, 0, size.width(), size.height()), 0, 5, scale);
  QPainter p(&img);
  ScalePainter(p, scale);
  p.setRenderHint(QPainter::Antialiasing);
  const QImage& back = cards[CardCount];
  for (int i = 0; i < 4; ++i)
    LayCard(p, back, QPointF(128 + i * 3, 78 - i * 2), QPointF(CardWidth / 2.0, CardHeight / 2.0), 0.28,
            -20 + i * 9);
  DrawHourglass(p, QRectF(34, 26, 48, 96));
  // A frame of dark wood round it.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(70, 38, 16), 8));
  p.drawRect(QRectF(4, 4, size.width() - 8, size.height() - 8));
  p.setPen(QPen(QColor(150, 96, 50), 2));
  p.drawRect(QRectF(1, 1, size.width() - 2, size.height() - 2));
  p.drawRect(QRectF(8, 8, size.width() - 16, size.height() - 16));
  return img;
}

}  // namespace

TablePictures DrawTablePictures(const Fonts& fonts, const std::vector<QImage>& cards, int scale) {
  TablePictures t;
  QImage table = TableSurface(scale);
  {
    QPainter p(&table);
    ScalePainter(p, scale);
    DrawPretzel(p, PretzelBox, 14);
  }
  LampLight(table, 300, 250, 520, 0.45, scale);
  t.table = table;
  t.title = TitlePicture(fonts, cards, scale);
  t.leftBefore = LeftBefore(table, fonts, scale);
  t.leftAfter = LeftAfter(table, fonts, scale);
  t.small = SmallPicture(table, scale);
  t.waiting = WaitingPicture(cards, scale);
  return t;
}

}  // namespace kolbet::mkdata
