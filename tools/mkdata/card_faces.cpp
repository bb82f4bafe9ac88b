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

QImage BlankCard() {
  QImage card(CardWidth, CardHeight, QImage::Format_RGB32);
  card.fill(EdgeColour);
  QPainter p(&card);
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

QImage RenderFace(QSvgRenderer& deck, int card, const QFont& font) {
  const QString id = DeckElement(card);
  QImage img = BlankCard();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QRectF art = ArtRect(deck, id);
  deck.render(&p, id, art);
  const std::string name = CardName(card);
  LetterBands(p, art, QString::fromUtf8(name.data(), static_cast<int>(name.size())), QColor(SuitInk[SuitOf(card)]),
              font);
  return img;
}

QImage RenderBack(QSvgRenderer& deck) {
  QImage img = BlankCard();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF art = ArtRect(deck, "back");
  // The bands repeat the back's green so that the back reads as one surface.
  p.setClipPath(Outline());
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xFF2C7A33));
  p.drawRect(QRectF(4, 4, CardWidth - 8, CardHeight - 8));
  p.setPen(QPen(QColor(0xFFE8F0E0), 2.0));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 2; ++i) {
    const double y = i == 0 ? art.top() / 2 : CardHeight - art.top() / 2;
    p.drawLine(QPointF(24, y), QPointF(CardWidth - 24, y));
  }
  p.setClipping(false);
  deck.render(&p, "back", art);
  return img;
}

}  // namespace

bool InsideCardOutline(int x, int y) {
  const double px = x + 0.5, py = y + 0.5, r = CardCornerRadius;
  if (px < 0 || py < 0 || px > CardWidth || py > CardHeight) return false;
  const double cx = std::clamp(px, r, CardWidth - r), cy = std::clamp(py, r, CardHeight - r);
  const double dx = px - cx, dy = py - cy;
  return dx * dx + dy * dy <= r * r;
}

QString DeckElement(int card) {
  return QString("%1_%2").arg(DeckRanks[RankOf(card)], DeckSuits[SuitOf(card)]);
}

std::vector<QImage> RenderCards(const Fonts& fonts, const QString& deckFile) {
  if (!QFile::exists(deckFile))
    throw std::runtime_error("card deck " + deckFile.toStdString() +
                             " not found (Debian package kdegames-card-data-kf5)");
  QSvgRenderer deck(deckFile);
  if (!deck.isValid()) throw std::runtime_error("card deck " + deckFile.toStdString() + " cannot be read");
  for (int card = 0; card <= CardCount; ++card) {
    const QString id = card < CardCount ? DeckElement(card) : QString("back");
    if (!deck.elementExists(id) || deck.boundsOnElement(id).width() <= 0)
      throw std::runtime_error("card deck " + deckFile.toStdString() + " has no element " + id.toStdString());
  }
  QFont font(fonts.blackletter);
  font.setPixelSize(24);
  font.setHintingPreference(QFont::PreferNoHinting);
  std::vector<QImage> cards;
  for (int card = 0; card < CardCount; ++card) cards.push_back(RenderFace(deck, card, font));
  cards.push_back(RenderBack(deck));
  return cards;
}

IndexedPicture CardOverlay() {
  IndexedPicture overlay;
  overlay.width = CardWidth;
  overlay.height = CardHeight;
  overlay.palette = {KeyBlue, 0xFFFFFFFF};
  overlay.transparent = 1;
  overlay.pixels.reserve(static_cast<std::size_t>(CardWidth) * CardHeight);
  for (int y = 0; y < CardHeight; ++y)
    for (int x = 0; x < CardWidth; ++x) overlay.pixels.push_back(InsideCardOutline(x, y) ? 1 : 0);
  return overlay;
}

}  // namespace kolbet::mkdata
