#pragma once
// GIF encoding with giflib, and reduction of a picture to a 256-colour palette.

#include <QImage>
#include <vector>
#include "tools/mkdata/bytes.h"

namespace kolbet::mkdata {

inline constexpr QRgb KeyBlue = 0xFF0000FF;  // pure blue: the table's colour key

struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<QRgb> palette;        // at most 256 colours
  std::vector<std::uint8_t> pixels; // width * height palette indices, row by row
  int transparent = -1;             // transparent colour index, -1 for none
};

// Reduces a picture to at most 256 colours. When it has few enough colours they
// are kept exactly; otherwise a median cut picks the palette and the pixels
// are dithered onto it. With `keepKey`, pure-blue pixels stay exactly
// pure blue and no other pixel becomes pure blue.
IndexedPicture ReduceColours(const QImage& source, bool keepKey);

// A single-image GIF: GIF89a with a graphic control extension when the picture
// has a transparent index, GIF87a otherwise.
Bytes EncodeGif(const IndexedPicture& picture);

}  // namespace kolbet::mkdata
