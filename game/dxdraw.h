#pragma once
// The drawing surface control `DXDraw`: it covers the 640 × 480 surface of the
// main window at the window's scale, keeps the picture the frame handler draws
// and shows it, and turns pointer events into surface coordinates.

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "assets/hd_pack.h"
#include "assets/picture.h"
#include "platform/sharp_pictures.h"
#include "platform/spoken_notes.h"

namespace kolbet {

class QtDrawSurface;

inline constexpr int SurfaceWidth = 640;
inline constexpr int SurfaceHeight = 480;

class TDXDraw final : public QWidget {
 public:
  explicit TDXDraw(QWidget* parent);
  ~TDXDraw() override;

  // Makes the surface's pictures from the image list, with the sharp ones of
  // the high-resolution companion when there is one; called once the graphics
  // pack has been read.
  void MakePictures(const TImageList& koartn);
  // Draws from the high-resolution companion too; may come before the
  // pictures are made. With `pack` (kolbet.dat read as a companion of factor
  // 1) the surface keeps kolbet.dat's pictures only small and reads them from
  // it when needed.
  void UseHdPack(std::shared_ptr<const THdPack> hdPack, std::shared_ptr<const THdPack> pack = nullptr);
  // Starts the surface at the control's present size: a black picture at the
  // screen's resolution. Before the pictures exist the surface is not usable.
  void StartSurface();
  // After a frame: an error its drawing met is taken in as the companion's
  // are, between two events.
  void FrameDrawn();
  void StopSurface();
  bool Usable() const;
  QtDrawSurface* Surface() const { return Surface_.get(); }

  // Device-independent pixels per surface pixel.
  double Scale() const { return static_cast<double>(width()) / SurfaceWidth; }
  // The surface pixel under a point of the control.
  QPoint ToSurface(QPointF point) const;

  // The card-name hint: its text, and whether it is shown (after the
  // platform's hint delay, next to the pointer).
  void SetHint(bool shown, const QString& text);
  bool HintShown() const { return HintOn; }
  const QString& HintText() const { return Hint; }

  std::function<void(Qt::MouseButton button, int x, int y)> MouseDown;
  std::function<void(int x, int y)> MouseMove;
  std::function<void()> Resized;
  std::function<void(QPoint global)> ContextMenu;
  // Sharp pictures have come in since the last frame, or (with the reader's
  // text in `error`) the companion turned out damaged and is no longer used.
  std::function<void(const std::string& error)> PicturesChanged;
  // What the keys mark on the table: the hand slot the key selection is on
  // (-1: none) in the hand as it lies, and whether the Tab focus is on the
  // table. The marks are drawn over the frame shown, never into it.
  struct TKeyMarks {
    int Slot = -1;
    std::array<std::int32_t, 5> Hand{-1, -1, -1, -1, -1};
    bool Focused = false;
  };
  std::function<TKeyMarks()> KeyMarks;
  // What the table's accessible element says.
  QString AccessibleText;
  // What the screen reader is told beyond it; a child of the table's element.
  TSpokenNotes& Notes() { return Notes_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent*) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Takes in what the companion's thread made, on the window's thread.
  void Knock();
  // Asks for the frame that shows the sharp pictures taken in (or the error).
  void SharpPicturesIn(const std::string& error);

  std::unique_ptr<QtDrawSurface> Surface_;
  std::unique_ptr<TSharpPictures> Sharp_;  // until the surface takes them
  std::shared_ptr<const THdPack> Pack_;    // the same
  TSpokenNotes Notes_{this};
  bool Started = false;
  QTimer SharpLater;  // the frame for sharp pictures held back
  QElapsedTimer SinceSharpFrame;
  bool DrawnSharp = true;  // the last frame drew every picture as sharp as it gets
  bool HintOn = false;
  QString Hint;
};

}  // namespace kolbet
