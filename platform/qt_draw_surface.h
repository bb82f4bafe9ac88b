#pragma once
// The drawing surface of the table on QPainter: the scenes are painted into a
// kept picture, which the window shows (or kolbet-render writes out).
//
// Surface coordinates stay 640 × 480; the picture has `scale` device pixels per
// surface pixel and everything is painted at that resolution, so that text and
// card edges are sharp on a large screen instead of being blown up.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <array>
#include <cstdint>
#include <map>
#include <string_view>

#include "assets/picture.h"
#include "game/draw_surface.h"
#include "game/table_state.h"

namespace kolbet {

class QtDrawSurface final : public DrawSurface {
 public:
  // Converts the pictures once; in the items drawn with the key colour every
  // pure-blue pixel becomes transparent.
  explicit QtDrawSurface(const TImageList& koartn);

  // (Re)starts the target picture, black: round(640 × scale) × round(480 × scale)
  // device pixels, e.g. scale 1 in QImage::Format_RGB16 for kolbet-render or
  // 2.25 on a 1920 × 1080 screen in Format_RGB32. `devicePixelRatio` is that of
  // the screen the picture is shown on.
  void Start(double scale, QImage::Format format, double devicePixelRatio = 1);

  // The scene for the table's phase on the kept picture; nothing is cleared first.
  // With a spoken line over a table scene when `line` is not empty.
  void Draw(const TTable& table, std::string_view line = {});

  const QImage& Image() const { return PaintedDirectly() ? work_ : image_; }
  double Scale() const { return scale_; }

  int PictureWidth(int index) const override;
  int PictureHeight(int index) const override;
  void DrawPicture(int index, int x, int y) override;
  void DrawPictureRotated(int index, int x, int y, int w, int h, double px, double py, int angle) override;
  void SetFontName(std::string_view face) override;
  void SetFontSize(int points) override;
  void SetFontColour(std::uint32_t rgb) override;
  void DrawText(int x, int y, std::string_view utf8) override;
  int MeasureText(std::string_view utf8) override;

 private:
  const QImage* Picture(int index) const;
  // The picture at w × h device pixels, scaled once and then kept, so that a
  // frame only copies it. `framed` adds a transparent border of one pixel,
  // which smooths the edges of a picture drawn turned.
  const QImage& Scaled(int index, int w, int h, bool framed);
  // The painter of the current Draw, or one made for a single operation.
  template <typename Paint>
  void WithPainter(Paint paint);
  void Prepare(QPainter& painter) const;
  // Brings the picture shown up to date with the one painted on.
  void Finish();
  bool PaintedDirectly() const { return format_ == QImage::Format_RGB32 || format_ == QImage::Format_ARGB32_Premultiplied; }

  std::array<QImage, ImageCount> pictures_;
  // Painting is done in 32 bits; a picture asked for in another format is
  // converted from it after each scene.
  QImage work_;
  QImage image_;
  QImage::Format format_ = QImage::Format_RGB32;
  double scale_ = 1;
  double devicePixelRatio_ = 1;
  QPainter* painter_ = nullptr;

  // Pictures scaled for the current scale, by (index, w, h, framed).
  std::map<std::array<int, 4>, QImage> scaled_;

  QFont font_;
  QColor colour_ = Qt::white;
};

}  // namespace kolbet
