#include "platform/qt_draw_surface.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <utility>

#include "assets/data_error.h"
#include "game/scene.h"

namespace kolbet {

namespace {

// The item as a QImage. Items drawn with the key colour get an alpha channel in
// which pure blue is transparent; the colour under it becomes black as well, so
// that smooth scaling blends the edge with nothing and leaves no blue fringe.
QImage Convert(const TPicture& picture, bool keyed) {
  if (picture.Empty() || picture.Pixels.size() < static_cast<std::size_t>(picture.Width) * picture.Height)
    return {};
  QImage image(picture.Width, picture.Height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    const std::uint32_t* from = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width;
    for (int x = 0; x < picture.Width; ++x) {
      const std::uint32_t pixel = from[x] | 0xFF000000u;
      row[x] = keyed && pixel == KeyColour ? 0u : pixel;
    }
  }
  return image.convertToFormat(keyed ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

// Point sizes are taken at 96 dots per inch, rounded as the Windows font
// mapper does: size 25 is 33 pixels.
int PixelsOfPoints(int points) { return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))); }

}  // namespace

QtDrawSurface::QtDrawSurface(const TImageList& koartn) {
  for (int i = 0; i < ImageCount; ++i) {
    pictures_[i] = Convert(koartn[i], DrawnWithKeyColour(i));
    sizes_[i] = pictures_[i].size();
  }
  font_.setFamily(QStringLiteral("Arial"));
  font_.setPixelSize(PixelsOfPoints(12));
  font_.setStyleStrategy(QFont::PreferAntialias);
  Start(1, QImage::Format_RGB32);
}

void QtDrawSurface::UseHdPack(std::shared_ptr<const THdPack> pack, std::function<void()> ready) {
  UseSharpPictures(pack ? std::make_unique<TSharpPictures>(std::move(pack), std::move(ready)) : nullptr);
}

void QtDrawSurface::UseSharpPictures(std::unique_ptr<TSharpPictures> sharp) {
  scaled_.clear();
  covering_.reset();
  sharp_ = std::move(sharp);
  Reconsider();
}

void QtDrawSurface::ReadPackOnDemand(std::shared_ptr<const THdPack> pack) {
  if (standIns_) return;  // the pictures kept are no longer whole: too late to change
  own_ = std::move(pack);
  Reconsider();
}

void QtDrawSurface::Reconsider() {
  if (Lean() && !standIns_) {
    // Large screens draw the companion's pictures; kolbet.dat's are needed
    // only for the moment until those come, and small suffice for that.
    for (QImage& picture : pictures_) {
      if (!picture.isNull())
        picture = picture.scaled((picture.width() + 1) / 2, (picture.height() + 1) / 2, Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
    }
    standIns_ = true;
    return;
  }
  if (Lean() || !standIns_ || !own_) return;
  // Without the companion every picture is drawn from kolbet.dat's again, so
  // all are read whole, as if there had never been a companion.
  for (int i = 0; i < ImageCount; ++i) {
    if (pictures_[i].isNull()) continue;
    QImage whole = ReadWhole(i);
    if (!own_) return;
    if (!whole.isNull()) pictures_[i] = std::move(whole);
  }
  standIns_ = false;
  own_.reset();
  scaled_.clear();
  covering_.reset();
}

QImage QtDrawSurface::ReadWhole(int index) {
  try {
    return MakeSharpPicture(*own_, {index, sizes_[index].width(), sizes_[index].height(), false});
  } catch (const DataError& e) {
    // The stand-ins stay, enlarged to kolbet.dat's sizes: the game plays on.
    own_.reset();
    if (sharpError_.empty()) sharpError_ = e.what();
    return {};
  }
}

bool QtDrawSurface::TakeSharpPictures(std::string& error) {
  const bool changed = AbsorbSharp();
  if (sharpError_.empty()) return changed;
  error = std::exchange(sharpError_, {});
  return true;
}

bool QtDrawSurface::AbsorbSharp() {
  if (!sharp_) return false;
  bool changed = false;
  for (auto& [key, image] : sharp_->TakeDone()) {
    if (image.isNull()) continue;
    // One no longer kept (its frames have passed) stays for the frame to come.
    auto [at, made] = scaled_.try_emplace(key);
    if (made) at->second.DrawnIn = frame_;
    at->second.Image = std::move(image);
    at->second.Final = true;
    changed = true;
  }
  if (std::string failure = sharp_->Error(); !failure.empty()) {
    // From now on kolbet.dat alone, as if there were no companion.
    sharp_.reset();
    scaled_.clear();
    covering_.reset();
    sharpError_ = std::move(failure);
    Reconsider();
    changed = true;
  }
  return changed;
}

bool QtDrawSurface::AllFinal() const {
  return std::all_of(scaled_.begin(), scaled_.end(), [](const auto& kept) { return kept.second.Final; });
}

void QtDrawSurface::Start(double scale, QImage::Format format, double devicePixelRatio) {
  const double wanted = scale > 0 ? scale : 1;
  if (wanted != scale_) {
    scaled_.clear();
    if (sharp_) sharp_->KeepOnly({});
  }
  scale_ = wanted;
  devicePixelRatio_ = devicePixelRatio > 0 ? devicePixelRatio : 1;
  format_ = format;
  work_ = QImage(static_cast<int>(std::lround(640 * scale_)), static_cast<int>(std::lround(480 * scale_)),
                 PaintedDirectly() ? format : QImage::Format_RGB32);
  work_.fill(Qt::black);
  covering_.reset();
  work_.setDevicePixelRatio(devicePixelRatio_);
  image_ = QImage();
  Finish();
}

void QtDrawSurface::Draw(const TTable& table, std::string_view line) {
  AbsorbSharp();
  drawnInFrame_ = 0;
  frameCover_.reset();
  {
    QPainter painter(&work_);
    Prepare(painter);
    painter_ = &painter;
    DrawScene(table, *this);
    if (!line.empty()) DrawSpokenLine(*this, line);
    painter_ = nullptr;
  }
  DropUnused();
  // A frame that was one opaque picture over the whole surface (the title)
  // leaves that picture in the frame itself: its kept copy goes, and the next
  // frame that is the same picture again finds it there.
  covering_.reset();
  if (drawnInFrame_ == 1 && frameCover_) {
    covering_ = frameCover_;
    scaled_.erase(*frameCover_);
  }
  ++frame_;
  Finish();
}

void QtDrawSurface::DropUnused() {
  std::set<TSharpKey> drawn;
  std::erase_if(scaled_, [&](const auto& kept) {
    if (kept.second.DrawnIn + 1 < frame_) return true;
    if (kept.second.DrawnIn == frame_) drawn.insert(kept.first);
    return false;
  });
  if (sharp_) sharp_->KeepOnly(drawn);
}

void QtDrawSurface::Finish() {
  if (!PaintedDirectly()) image_ = work_.convertToFormat(format_);
}

// The painter works in device pixels of the picture; the scale is applied by
// each operation, so that pictures are placed on whole device pixels. Turned
// pictures get their smooth edges from their transparent border, which is
// cheaper than antialiasing the edges.
void QtDrawSurface::Prepare(QPainter& painter) const {
  painter.resetTransform();
  painter.scale(1 / devicePixelRatio_, 1 / devicePixelRatio_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
}

template <typename Paint>
void QtDrawSurface::WithPainter(Paint paint) {
  ++drawnInFrame_;
  if (painter_) {
    paint(*painter_);
    return;
  }
  covering_.reset();
  {
    QPainter painter(&work_);
    Prepare(painter);
    paint(painter);
  }
  Finish();
}

const QImage* QtDrawSurface::Picture(int index) const {
  if (index < 0 || index >= ImageCount || pictures_[index].isNull()) return nullptr;
  return &pictures_[index];
}

// A companion's picture is worth making only where kolbet.dat's would be
// enlarged.
bool QtDrawSurface::WantsSharp(int index, int w, int h) const {
  return sharp_ && (w > sizes_[index].width() || h > sizes_[index].height());
}

const QImage* QtDrawSurface::Whole(int index) {
  if (!standIns_ || !own_) return Picture(index);
  const TSharpKey key{index, sizes_[index].width(), sizes_[index].height(), false};
  auto [at, made] = scaled_.try_emplace(key);
  at->second.DrawnIn = frame_;
  if (made) {
    at->second.Image = ReadWhole(index);
    if (!own_) {
      scaled_.erase(at);
      return Picture(index);
    }
  }
  return at->second.Image.isNull() ? Picture(index) : &at->second.Image;
}

const QImage* QtDrawSurface::Scaled(int index, int w, int h, bool framed) {
  if (!framed && sizes_[index] == QSize(w, h)) {
    // A stand-in left after kolbet.dat failed is enlarged like any picture.
    if (const QImage* whole = Whole(index); whole->size() == sizes_[index]) return whole;
  }
  const TSharpKey key{index, w, h, framed};
  auto [at, made] = scaled_.try_emplace(key);
  at->second.DrawnIn = frame_;
  if (made && WantsSharp(index, w, h)) at->second.Final = false;
  if (!at->second.Final) {
    // Asked for at every frame that draws it until it comes: a request
    // forgotten while a frame did not draw the picture is made again.
    sharp_->Request(key);
    AbsorbSharp();  // made at once when there is no thread
    if (!sharp_) return Scaled(index, w, h, framed);  // the companion failed just now
    return at->second.Final ? &at->second.Image : nullptr;
  }
  if (!made) return at->second.Image.isNull() ? nullptr : &at->second.Image;
  // Whole() may add to the kept pictures; `at` stays valid in the map.
  const QImage& picture = *Whole(index);
  const QImage scaled = picture.width() == w && picture.height() == h
                            ? picture
                            : picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  at->second.Image = framed ? WithBorder(scaled) : scaled;
  return &at->second.Image;
}

int QtDrawSurface::PictureWidth(int index) const { return Picture(index) ? sizes_[index].width() : 0; }

int QtDrawSurface::PictureHeight(int index) const { return Picture(index) ? sizes_[index].height() : 0; }

void QtDrawSurface::DrawPicture(int index, int x, int y) {
  const QImage* picture = Picture(index);
  if (!picture) return;
  // The picture covers the device pixels from round(x × scale) to
  // round((x + W) × scale), so neighbouring pictures meet without a seam.
  const int left = static_cast<int>(std::lround(x * scale_));
  const int top = static_cast<int>(std::lround(y * scale_));
  const int right = static_cast<int>(std::lround((x + sizes_[index].width()) * scale_));
  const int bottom = static_cast<int>(std::lround((y + sizes_[index].height()) * scale_));
  if (right <= left || bottom <= top) return;
  const QRect area(left, top, right - left, bottom - top);
  const TSharpKey key{index, area.width(), area.height(), false};
  const bool covers = painter_ && drawnInFrame_ == 0 && area == work_.rect() && !DrawnWithKeyColour(index);
  if (covers && covering_ == key) {
    ++drawnInFrame_;  // already there, whole
    frameCover_ = key;
    return;
  }
  const QImage* scaled = Scaled(index, area.width(), area.height(), false);
  if (covers && scaled && scaled != picture) frameCover_ = key;
  WithPainter([&](QPainter& p) {
    if (scaled) {
      p.drawImage(area.topLeft(), *scaled);
    } else {
      p.drawImage(area, *picture);  // enlarged on the fly until the sharp one comes
    }
  });
}

void QtDrawSurface::DrawPictureRotated(int index, int x, int y, int w, int h, double px, double py,
                                       int angle) {
  const QImage* picture = Picture(index);
  if (!picture || w <= 0 || h <= 0) return;
  const double sw = w * scale_, sh = h * scale_;
  const int dw = std::max(1, static_cast<int>(std::lround(sw)));
  const int dh = std::max(1, static_cast<int>(std::lround(sh)));
  const QImage* framed = Scaled(index, dw, dh, true);
  const int turn = ((angle % 256) + 256) % 256;
  if (turn == 0 && framed) {
    // Unturned: on whole device pixels, copied without resampling.
    const QPoint at(static_cast<int>(std::lround(x * scale_ - px * sw)) - 1,
                    static_cast<int>(std::lround(y * scale_ - py * sh)) - 1);
    WithPainter([&](QPainter& p) { p.drawImage(at, *framed); });
    return;
  }
  WithPainter([&](QPainter& p) {
    p.save();
    p.translate(x * scale_, y * scale_);
    p.rotate(turn * 360.0 / 256);  // positive degrees turn clockwise on a y-down surface
    if (framed) {
      // The border lies just outside the w × h the picture covers.
      const double bx = sw / dw, by = sh / dh;
      p.drawImage(QRectF(-px * sw - bx, -py * sh - by, sw + 2 * bx, sh + 2 * by), *framed);
    } else {
      p.drawImage(QRectF(-px * sw, -py * sh, sw, sh), *picture);  // until the sharp one comes
    }
    p.restore();
  });
}

void QtDrawSurface::SetFontName(std::string_view face) {
  font_.setFamily(QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size())));
}

void QtDrawSurface::SetFontSize(int points) {
  font_.setPixelSize(PixelsOfPoints(points));
}

void QtDrawSurface::SetFontColour(std::uint32_t rgb) { colour_ = QColor::fromRgb(0xFF000000u | rgb); }

void QtDrawSurface::DrawText(int x, int y, std::string_view utf8) {
  if (utf8.empty()) return;
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  const double ascent = QFontMetricsF(font_).ascent();
  WithPainter([&](QPainter& p) {
    p.save();
    p.scale(scale_, scale_);
    p.setFont(font_);
    p.setPen(colour_);
    p.drawText(QPointF(x, y + ascent), text);
    p.restore();
  });
}

int QtDrawSurface::MeasureText(std::string_view utf8) {
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return static_cast<int>(std::lround(QFontMetricsF(font_).horizontalAdvance(text)));
}

}  // namespace kolbet
