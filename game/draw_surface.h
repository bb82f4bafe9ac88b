#pragma once
// The drawing operations the table scenes need, so that the scenes are plain
// core code: the window draws them with its graphics library, the tests
// record them. Coordinates are surface pixels, 640 × 480, x to the right and
// y downwards from the top-left corner.

#include <cstdint>
#include <string_view>

namespace kolbet {

class DrawSurface {
 public:
  virtual ~DrawSurface() = default;

  // The size of an image-list item; 0 for an item that holds no picture.
  virtual int PictureWidth(int index) const = 0;
  virtual int PictureHeight(int index) const = 0;

  // The picture unscaled with its top-left corner at (x, y); pure blue is left
  // out for the items drawn with the key colour.
  virtual void DrawPicture(int index, int x, int y) = 0;

  // The picture scaled to w × h, turned about its point (px × w, py × h) by
  // angle / 256 of a full turn (clockwise on the screen for positive angles),
  // with that point placed at (x, y).
  virtual void DrawPictureRotated(int index, int x, int y, int w, int h, double px, double py,
                                  int angle) = 0;

  // The current face, size (points) and colour; they persist across scenes,
  // as on the real surface.
  virtual void SetFontName(std::string_view face) = 0;
  virtual void SetFontSize(int points) = 0;
  virtual void SetFontColour(std::uint32_t rgb) = 0;  // 0xRRGGBB

  // The text (UTF-8) with the top-left corner of its cell at (x, y), on a
  // transparent background.
  virtual void DrawText(int x, int y, std::string_view utf8) = 0;
  // The width of the text in surface pixels in the current font.
  virtual int MeasureText(std::string_view utf8) = 0;
};

}  // namespace kolbet
