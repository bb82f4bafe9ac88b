#include "game/dxdraw.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/key_input.h"
#include "platform/qt_draw_surface.h"
#include "rules/cards.h"

namespace kolbet {

TDXDraw::TDXDraw(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  SharpLater.setSingleShot(true);
  connect(&SharpLater, &QTimer::timeout, this, [this] {
    SinceSharpFrame.start();
    if (PicturesChanged) PicturesChanged({});
  });
}

TDXDraw::~TDXDraw() = default;

void TDXDraw::MakePictures(const TImageList& koartn) {
  Surface_ = std::make_unique<QtDrawSurface>(koartn);
  if (Sharp_) Surface_->UseSharpPictures(std::move(Sharp_));
  if (Pack_) Surface_->ReadPackOnDemand(std::move(Pack_));
}

void TDXDraw::UseHdPack(std::shared_ptr<const THdPack> hdPack, std::shared_ptr<const THdPack> pack) {
  // The companion's thread only knocks; the pictures are taken in here, on
  // the window's thread, between two events.
  auto sharp = std::make_unique<TSharpPictures>(std::move(hdPack), [this] { Knock(); });
  if (Surface_) {
    Surface_->UseSharpPictures(std::move(sharp));
    if (pack) Surface_->ReadPackOnDemand(std::move(pack));
  } else {
    Sharp_ = std::move(sharp);
    Pack_ = std::move(pack);
  }
}

void TDXDraw::Knock() {
  QMetaObject::invokeMethod(
      this,
      [this] {
        std::string error;
        if (Surface_ && Surface_->TakeSharpPictures(error)) SharpPicturesIn(error);
      },
      Qt::QueuedConnection);
}

void TDXDraw::SharpPicturesIn(const std::string& error) {
  // Each frame draws the whole table anew, which on a large screen costs
  // about as much as making a picture: while more are still being made, the
  // frame for those that came in waits until a tenth of a second has passed
  // since the last such frame. The last picture is shown at once.
  constexpr int Interval = 100;
  if (error.empty() && !Surface_->AllFinal() && SinceSharpFrame.isValid() && SinceSharpFrame.elapsed() < Interval) {
    if (!SharpLater.isActive()) SharpLater.start(static_cast<int>(Interval - SinceSharpFrame.elapsed()));
    return;
  }
  SharpLater.stop();
  SinceSharpFrame.start();
  if (PicturesChanged) PicturesChanged(error);
}

void TDXDraw::FrameDrawn() {
  if (Surface_ && Surface_->ErrorWaiting()) Knock();
  // For measuring how soon a new table is sharp: the moment of each frame
  // that first draws a picture not yet sharp, and of the next one that draws
  // all of them sharp.
  static const bool report = qEnvironmentVariableIsSet("KOLBET_REPORT_SHARP_FRAMES");
  if (!report || !Surface_) return;
  const bool sharp = Surface_->AllFinal();
  if (sharp != DrawnSharp)
    std::fprintf(stderr, "%s %lld\n", sharp ? "sharp-frame" : "soft-frame",
                 static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
  DrawnSharp = sharp;
}

void TDXDraw::StartSurface() {
  Started = Surface_ != nullptr && width() > 0 && height() > 0;
  if (Started) Surface_->Start(Scale() * devicePixelRatioF(), QImage::Format_RGB32, devicePixelRatioF());
}

void TDXDraw::StopSurface() { Started = false; }

bool TDXDraw::Usable() const { return Started && isVisible() && !window()->isMinimized(); }

QPoint TDXDraw::ToSurface(QPointF point) const {
  const double scale = Scale();
  const int x = static_cast<int>(std::floor(point.x() / scale));
  const int y = static_cast<int>(std::floor(point.y() / scale));
  return QPoint(std::clamp(x, 0, SurfaceWidth - 1), std::clamp(y, 0, SurfaceHeight - 1));
}

void TDXDraw::SetHint(bool shown, const QString& text) {
  if (text != Hint || !shown) QToolTip::hideText();
  HintOn = shown;
  Hint = text;
}

bool TDXDraw::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // The platform asks for the hint once the pointer has rested for its delay.
    const auto* help = static_cast<QHelpEvent*>(event);
    if (HintOn && !Hint.isEmpty())
      QToolTip::showText(help->globalPos(), Hint, this);
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(event);
}

void TDXDraw::paintEvent(QPaintEvent*) {
  // Presents the last frame drawn; the frame handler draws, painting only shows.
  QPainter p(this);
  if (!Started || !Surface_) {
    p.fillRect(rect(), Qt::black);
    return;
  }
  p.drawImage(QPoint(0, 0), Surface_->Image());
  const TKeyMarks marks = KeyMarks ? KeyMarks() : TKeyMarks{};
  if (marks.Focused) {
    // The focus mark of the controls: a white frame inside the edge, two
    // surface pixels thick.
    const double pen = std::max(2.0, std::round(2 * Scale()));
    p.setPen(QPen(Qt::white, pen));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
  }
  if (marks.Slot < 0 || marks.Slot > 4 || marks.Hand[marks.Slot] == NoCard) return;
  // A bright frame around the selected card, dark-edged so that it shows on
  // any card face, only where the card can be seen: the cards of the higher
  // slots lie on it.
  const auto place = [this](int slot, int card) {
    return HandCardPlace(slot, Surface_->PictureWidth(card), Surface_->PictureHeight(card));
  };
  const auto around = [](const TCardPlace& at, double margin) {
    return QRectF(-at.Width / 2.0 - margin, -at.Height / 2.0 - margin, at.Width + 2 * margin, at.Height + 2 * margin);
  };
  QPainterPath seen;
  seen.addRect(0, 0, SurfaceWidth, SurfaceHeight);
  for (int above = marks.Slot + 1; above < 5; ++above) {
    if (marks.Hand[above] == NoCard) continue;
    const TCardPlace at = place(above, marks.Hand[above]);
    QPainterPath card;
    card.addRoundedRect(around(at, 0), at.Width / 16.0, at.Width / 16.0);
    seen -= QTransform().translate(at.X, at.Y).rotate(at.Angle * 360.0 / 256.0).map(card);
  }
  const TCardPlace at = place(marks.Slot, marks.Hand[marks.Slot]);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(Scale(), Scale());
  p.setClipPath(seen);
  p.translate(at.X, at.Y);
  p.rotate(at.Angle * 360.0 / 256.0);
  const QRectF frame = around(at, 2);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x20, 0x10, 0x00), 6));
  p.drawRoundedRect(frame, 5, 5);
  p.setPen(QPen(QColor(0xFF, 0xD8, 0x00), 3.5));
  p.drawRoundedRect(frame, 5, 5);
}

void TDXDraw::mousePressEvent(QMouseEvent* event) {
  const QPoint at = ToSurface(event->position());
  if (MouseDown) MouseDown(event->button(), at.x(), at.y());
}

void TDXDraw::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = ToSurface(event->position());
  if (MouseMove) MouseMove(at.x(), at.y());
}

void TDXDraw::contextMenuEvent(QContextMenuEvent* event) {
  if (ContextMenu) ContextMenu(event->globalPos());
}

void TDXDraw::resizeEvent(QResizeEvent*) {
  if (Resized) Resized();
}

}  // namespace kolbet
