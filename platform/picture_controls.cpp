#include "platform/picture_controls.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/faces.h"

namespace kolbet {

namespace {

// The blackletter label as large as fits into `box`, at most `maxPixels` high.
QFont FittingFont(const QString& text, const QRectF& box, double maxPixels) {
  double pixels = std::min(maxPixels, box.height());
  for (; pixels > 4; pixels -= 0.5) {
    const QFontMetricsF metrics(BlackletterFont(pixels));
    if (metrics.horizontalAdvance(text) <= box.width() && metrics.height() <= box.height() + 2) break;
  }
  return BlackletterFont(pixels);
}

void PaintLettering(QPainter& p, const QRectF& box, const QString& text, QColor ink, double maxPixels) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setFont(FittingFont(text, box, maxPixels));
  p.setPen(ink);
  p.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

double DrawScale(const QWidget& widget, QSize surfaceSize) {
  if (surfaceSize.width() <= 0) return 1;
  return static_cast<double>(widget.width()) / surfaceSize.width();
}

TPanel::TPanel(QSize surfaceSize, bool bevel, QWidget* parent)
    : QWidget(parent), SurfaceSize(surfaceSize), Bevel(bevel) {
  setCursor(Qt::PointingHandCursor);
}

void TPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(PanelBlue));
  if (!Bevel) return;
  // A raised edge one surface pixel wide: light at the top and left, dark at
  // the bottom and right.
  const int edge = std::max(1, qRound(DrawScale(*this, SurfaceSize)));
  p.fillRect(0, 0, width(), edge, QColor(0x80, 0x80, 0xFF));
  p.fillRect(0, 0, edge, height(), QColor(0x80, 0x80, 0xFF));
  p.fillRect(0, height() - edge, width(), edge, QColor(0, 0, 0x80));
  p.fillRect(width() - edge, 0, edge, height(), QColor(0, 0, 0x80));
}

QColor FaceInk(TFaceState state) {
  switch (state) {
    case TFaceState::Disabled:
      return QColor(0x9C, 0x9C, 0xFF);
    case TFaceState::Pressed:
    case TFaceState::Held:
      return QColor(0xFF, 0, 0);
    case TFaceState::Up:
    default:
      return QColor(0xFF, 0xFF, 0xFF);
  }
}

void PaintButtonFace(QPainter& p, QSize surfaceSize, const QString& label, TFaceState state) {
  const QRectF face(0, 0, surfaceSize.width(), surfaceSize.height());
  p.fillRect(face, QColor(PanelBlue));
  PaintLettering(p, face.adjusted(3, 1, -3, -1), label, FaceInk(state), surfaceSize.height() * 0.72);
}

TPictureButton::TPictureButton(const QString& label, const QString& hint, QSize surfaceSize, QWidget* parent)
    : QAbstractButton(parent), SurfaceSize(surfaceSize) {
  setText(label);
  setToolTip(hint);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

TFaceState TPictureButton::State() const {
  if (!isEnabled()) return TFaceState::Disabled;
  if (isDown()) return TFaceState::Pressed;
  if (isChecked()) return TFaceState::Held;
  return TFaceState::Up;
}

void TPictureButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const double scale = DrawScale(*this, SurfaceSize);
  p.scale(scale, static_cast<double>(height()) / SurfaceSize.height());
  PaintButtonFace(p, SurfaceSize, text(), State());
}

TLetteredPicture::TLetteredPicture(const QString& text, QSize surfaceSize, QWidget* parent)
    : QWidget(parent), Text(text), SurfaceSize(surfaceSize) {
  setAccessibleName(text);
}

void TLetteredPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(PanelBlue));
  p.scale(DrawScale(*this, SurfaceSize), static_cast<double>(height()) / SurfaceSize.height());
  const QRectF box(0, 0, SurfaceSize.width(), SurfaceSize.height());
  PaintLettering(p, box.adjusted(2, 0, -2, 0), Text, Qt::white, SurfaceSize.height() * 0.7);
}

TPictureBox::TPictureBox(QSize surfaceSize, QWidget* parent) : QWidget(parent), SurfaceSize(surfaceSize) {}

void TPictureBox::SetPicture(Source source) {
  Picture = std::move(source);
  CachedScale = 0;
  update();
}

void TPictureBox::paintEvent(QPaintEvent*) {
  if (!Picture) return;
  const double scale = DrawScale(*this, SurfaceSize) * devicePixelRatioF();
  if (scale != CachedScale) {
    Cached = Picture(scale);
    Cached.setDevicePixelRatio(devicePixelRatioF());
    CachedScale = scale;
  }
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(rect(), Cached);
}

void TPictureBox::mousePressEvent(QMouseEvent* event) {
  if (Pressed) Pressed(event->button());
}

void TSessionList::SetEmptyText(const QString& text) {
  EmptyText = text;
  viewport()->update();
}

void TSessionList::paintEvent(QPaintEvent* event) {
  QListWidget::paintEvent(event);
  if (count() > 0 || EmptyText.isEmpty()) return;
  // Where the first entry would stand, in the list's own lettering, paler.
  QPainter p(viewport());
  p.setFont(font());
  p.setPen(QColor(0xC0, 0xC0, 0xFF));
  p.drawText(viewport()->rect().adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, EmptyText);
}

}  // namespace kolbet
