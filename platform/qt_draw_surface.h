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
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "assets/picture.h"
#include "game/draw_surface.h"
#include "game/table_state.h"
#include "platform/sharp_pictures.h"

namespace kolbet {

class QtDrawSurface final : public DrawSurface {
 public:
  // Converts the pictures once; in the items drawn with the key colour every
  // pure-blue pixel becomes transparent.
  explicit QtDrawSurface(const TImageList& koartn);

  // Draws a picture from the high-resolution companion wherever it lands on
  // the screen larger than kolbet.dat holds it. With `ready` the sharp
  // pictures are made on a thread of their own and kolbet.dat's picture is
  // drawn enlarged until then; `ready` is called on that thread when some are
  // done (TakeSharpPictures then brings them in). Without it they are made at
  // once, when first drawn.
  void UseHdPack(std::shared_ptr<const THdPack> pack, std::function<void()> ready = {});
  // The same with a maker of sharp pictures made before the surface.
  void UseSharpPictures(std::unique_ptr<TSharpPictures> sharp);
  // kolbet.dat itself, read as a companion of factor 1. While the
  // high-resolution companion is in use, the surface then keeps kolbet.dat's
  // pictures only at half their size, as stand-ins until the sharp ones come,
  // and reads a picture whole from `pack` when it is drawn at its own size or
  // smaller. Should the companion fail, every picture is read whole again.
  void ReadPackOnDemand(std::shared_ptr<const THdPack> pack);
  // Brings in the sharp pictures made since the last call; whether the frame
  // drawn last would look different now. The companion's error, when one was
  // met, goes to `error` once, and the surface goes on with kolbet.dat alone.
  bool TakeSharpPictures(std::string& error);
  // Whether an error waits to be taken: one met while drawing, when kolbet.dat
  // itself could not be read on demand.
  bool ErrorWaiting() const { return !sharpError_.empty(); }
  // Whether every picture kept is as sharp as it will get (none is still
  // being made from the companion).
  bool AllFinal() const;
  // How many scaled pictures are kept: those the last two frames drew.
  std::size_t KeptPictures() const { return scaled_.size(); }

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
  // kolbet.dat's picture at its own size: the one kept, or, with the pack
  // read on demand, read from it and kept while it is drawn. Nothing when
  // that read fails; the stand-in is then all there is.
  const QImage* Whole(int index);
  // Whether the pictures kept are the stand-ins and the pack is read on demand.
  bool Lean() const { return own_ && sharp_; }
  // Shrinks the kept pictures to stand-ins once the pack can be read on
  // demand; reads them all whole again when the companion is gone.
  void Reconsider();
  // kolbet.dat's picture read whole from the pack; on a failure nothing, and
  // reading on demand ends with its error waiting to be taken.
  QImage ReadWhole(int index);
  // The picture at w × h device pixels, scaled once and kept while it is
  // drawn, so that a frame only copies it. `framed` adds a transparent border
  // of one pixel, which smooths the edges of a picture drawn turned. Nothing
  // while the companion's picture is being made: kolbet.dat's is then drawn
  // enlarged on the fly, which is quicker than scaling a copy to keep.
  const QImage* Scaled(int index, int w, int h, bool framed);
  bool WantsSharp(int index, int w, int h) const;
  // Takes in what the companion's thread made; whether anything drawn changed.
  bool AbsorbSharp();
  // Drops the scaled pictures the last two frames did not draw.
  void DropUnused();
  // The painter of the current Draw, or one made for a single operation.
  template <typename Paint>
  void WithPainter(Paint paint);
  void Prepare(QPainter& painter) const;
  // Brings the picture shown up to date with the one painted on.
  void Finish();
  bool PaintedDirectly() const { return format_ == QImage::Format_RGB32 || format_ == QImage::Format_ARGB32_Premultiplied; }

  std::array<QImage, ImageCount> pictures_;
  // kolbet.dat's sizes, which decide where everything goes whatever is kept.
  std::array<QSize, ImageCount> sizes_;
  std::shared_ptr<const THdPack> own_;
  bool standIns_ = false;  // pictures_ hold the half-size stand-ins
  // Painting is done in 32 bits; a picture asked for in another format is
  // converted from it after each scene.
  QImage work_;
  QImage image_;
  QImage::Format format_ = QImage::Format_RGB32;
  double scale_ = 1;
  double devicePixelRatio_ = 1;
  QPainter* painter_ = nullptr;

  // Pictures scaled for the current scale, and whether each is final (sharp,
  // or kolbet.dat's with no companion to improve on it).
  struct Kept {
    QImage Image;
    bool Final = true;
    unsigned long long DrawnIn = 0;  // the frame that drew it last
  };
  std::map<TSharpKey, Kept> scaled_;
  unsigned long long frame_ = 1;
  std::unique_ptr<TSharpPictures> sharp_;
  std::string sharpError_;
  // Operations of the current Draw; the picture that covers the whole surface
  // as its only one, if so; and the picture the kept surface holds whole.
  int drawnInFrame_ = 0;
  std::optional<TSharpKey> frameCover_;
  std::optional<TSharpKey> covering_;

  QFont font_;
  QColor colour_ = Qt::white;
};

}  // namespace kolbet
