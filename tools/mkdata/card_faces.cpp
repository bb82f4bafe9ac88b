#include "tools/mkdata/card_faces.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "rules/cards.h"
#include "tools/mkdata/hairlines.h"

namespace kolbet::mkdata {
namespace {

// Suits in card order: Gria = leaves, Oachl = acorns, Schölln = bells, Hirz = hearts.
constexpr std::array<const char*, 4> DeckSuits = {"spade", "club", "diamond", "heart"};
// Ranks in card order: Sima .. Zirna, Unta = jack, Baua = queen, Kini = king, Sau = 1.
constexpr std::array<const char*, 8> DeckRanks = {"7", "8", "9", "10", "jack", "queen", "king", "1"};

// Colour of a suit's name in the card's bands.
constexpr std::array<QRgb, 4> SuitInk = {0xFF2E6B1F, 0xFF6B3E12, 0xFF9A6A00, 0xFFB71C1C};

constexpr QRgb EdgeColour = 0xFF9A9A9A;
constexpr QRgb StockColour = 0xFFF7F4EC;
constexpr int ArtMargin = 6;  // stock visible left and right of the deck's art

QPainterPath Outline() {
  QPainterPath path;
  path.addRoundedRect(QRectF(0.5, 0.5, CardWidth - 1.0, CardHeight - 1.0), CardCornerRadius - 0.5,
                      CardCornerRadius - 0.5);
  return path;
}

// The deck's art fitted to the width inside the margins, keeping its proportions;
// the bands left above and below carry the card's name.
QRectF ArtRect(const QSvgRenderer& deck, const QString& id) {
  const QRectF bounds = deck.boundsOnElement(id);
  const double w = CardWidth - 2.0 * ArtMargin;
  const double h = std::round(w * bounds.height() / bounds.width());
  return QRectF(ArtMargin, std::round((CardHeight - h) / 2), w, h);
}

// A card picture `scale` times the card's size; the painting is done in the
// card's own pixels all the same.
QImage BlankCard(int scale) {
  QImage card(CardWidth * scale, CardHeight * scale, QImage::Format_RGB32);
  card.fill(EdgeColour);
  QPainter p(&card);
  if (scale != 1) p.scale(scale, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(EdgeColour), 1.0));
  p.setBrush(QColor(StockColour));
  p.drawPath(Outline());
  return card;
}

void LetterBands(QPainter& p, const QRectF& art, const QString& text, QColor ink, const QFont& font) {
  p.setFont(font);
  p.setPen(ink);
  // At the left, where the fanned hand leaves each card visible.
  const QRectF top(16, 0, CardWidth - 32, art.top());
  p.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, text);
  p.save();
  p.translate(CardWidth, CardHeight);
  p.rotate(180);
  p.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, text);
  p.restore();
}

QImage RenderFace(QSvgRenderer& deck, int card, const QFont& font, int scale) {
  const QString id = DeckElement(card);
  QImage img = BlankCard(scale);
  const QRectF art = ArtRect(deck, id);
  if (scale != 1) RenderWithScaledHairlines(deck, id, art, img, scale);
  QPainter p(&img);
  if (scale != 1) p.scale(scale, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  if (scale == 1) deck.render(&p, id, art);
  const std::string name = CardName(card);
  LetterBands(p, art, QString::fromUtf8(name.data(), static_cast<int>(name.size())), QColor(SuitInk[SuitOf(card)]),
              font);
  return img;
}

// The back is the game's own: white and light-blue lozenges in a dark blue
// frame. The pattern is centred on the card and the same when turned half
// round, so the opponent's fanned backs all look alike; its corners lie on
// whole pixels, so the edges stay crisp at the card's own size.
constexpr QRgb BackFrame = 0xFF1D3F7A;
constexpr QRgb BackLozengeBlue = 0xFF8DBBE6;
constexpr QRgb BackLozengeWhite = 0xFFFDFDFB;
constexpr int BackFrameInset = 7;   // stock left round the frame
constexpr int BackFieldInset = 15;  // where the lozenges begin
constexpr int LozengeHalfWidth = 12;
constexpr int LozengeHalfHeight = 19;

QPainterPath RoundedInset(double inset, double radius) {
  QPainterPath path;
  path.addRoundedRect(QRectF(inset, inset, CardWidth - 2 * inset, CardHeight - 2 * inset), radius, radius);
  return path;
}

QImage RenderBack(int scale) {
  QImage img = BlankCard(scale);
  QPainter p(&img);
  if (scale != 1) p.scale(scale, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(BackFrame));
  p.drawPath(RoundedInset(BackFrameInset, CardCornerRadius - 4));

  // The field: white ground, then every other lozenge of the lattice in blue.
  // Lozenge (i, j) has its centre at i half-widths and j half-heights from the
  // card's centre (i + j even); lozenges with an even i are blue.
  const QPainterPath field = RoundedInset(BackFieldInset, 5);
  p.setClipPath(field);
  p.setBrush(QColor(BackLozengeWhite));
  p.drawRect(QRect(0, 0, CardWidth, CardHeight));
  p.setBrush(QColor(BackLozengeBlue));
  const int cx = CardWidth / 2, cy = CardHeight / 2;
  const int columns = CardWidth / LozengeHalfWidth / 2 + 2, rows = CardHeight / LozengeHalfHeight / 2 + 2;
  for (int j = -rows; j <= rows; ++j)
    for (int i = -columns; i <= columns; ++i) {
      if ((i + j) % 2 != 0 || i % 2 != 0) continue;
      const QPointF c(cx + i * LozengeHalfWidth, cy + j * LozengeHalfHeight);
      const QPointF corners[4] = {c + QPointF(0, -LozengeHalfHeight), c + QPointF(LozengeHalfWidth, 0),
                                  c + QPointF(0, LozengeHalfHeight), c + QPointF(-LozengeHalfWidth, 0)};
      p.drawPolygon(corners, 4);
    }
  p.setClipping(false);

  // Two fine lines: a white one inside the frame, a light one on it.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(BackLozengeWhite), 1.5));
  p.drawPath(RoundedInset(BackFieldInset - 0.75, 5.75));
  p.setPen(QPen(QColor(BackLozengeBlue), 1.0));
  p.drawPath(RoundedInset(BackFrameInset + 3.5, CardCornerRadius - 7));
  return img;
}

}  // namespace

bool InsideCardOutline(int x, int y, int scale) {
  const double px = (x + 0.5) / scale, py = (y + 0.5) / scale, r = CardCornerRadius;
  if (px < 0 || py < 0 || px > CardWidth || py > CardHeight) return false;
  const double cx = std::clamp(px, r, CardWidth - r), cy = std::clamp(py, r, CardHeight - r);
  const double dx = px - cx, dy = py - cy;
  return dx * dx + dy * dy <= r * r;
}

QString DeckElement(int card) {
  return QString("%1_%2").arg(DeckRanks[RankOf(card)], DeckSuits[SuitOf(card)]);
}

std::vector<QImage> RenderCards(const Fonts& fonts, const QString& deckFile, int scale) {
  if (!QFile::exists(deckFile))
    throw std::runtime_error("card deck " + deckFile.toStdString() +
                             " not found (Debian package kdegames-card-data-kf5)");
  QSvgRenderer deck(deckFile);
  if (!deck.isValid()) throw std::runtime_error("card deck " + deckFile.toStdString() + " cannot be read");
  for (int card = 0; card < CardCount; ++card) {
    const QString id = DeckElement(card);
    if (!deck.elementExists(id) || deck.boundsOnElement(id).width() <= 0)
      throw std::runtime_error("card deck " + deckFile.toStdString() + " has no element " + id.toStdString());
  }
  QFont font(fonts.blackletter);
  font.setPixelSize(24);
  font.setHintingPreference(QFont::PreferNoHinting);
  std::vector<QImage> cards;
  cards.reserve(CardCount + 1);
  for (int card = 0; card < CardCount; ++card) cards.push_back(RenderFace(deck, card, font, scale));
  cards.push_back(RenderBack(scale));
  return cards;
}

IndexedPicture CardOverlay(int scale) {
  IndexedPicture overlay;
  overlay.width = CardWidth * scale;
  overlay.height = CardHeight * scale;
  overlay.palette = {KeyBlue, 0xFFFFFFFF};
  overlay.transparent = 1;
  overlay.pixels.reserve(static_cast<std::size_t>(overlay.width) * overlay.height);
  for (int y = 0; y < overlay.height; ++y)
    for (int x = 0; x < overlay.width; ++x) overlay.pixels.push_back(InsideCardOutline(x, y, scale) ? 1 : 0);
  return overlay;
}

}  // namespace kolbet::mkdata
