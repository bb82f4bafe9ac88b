#pragma once
// The largest picture the decoders accept. The table is 640 × 480, so anything
// near these limits is a damaged or foreign file; refusing it early keeps a bad
// header from asking for gigabytes of memory.

#include <string>

#include "assets/data_error.h"

namespace kolbet {

inline constexpr int MaxPictureSide = 16384;
inline constexpr long long MaxPicturePixels = 4096LL * 4096LL;

constexpr bool PictureSizeAllowed(long long width, long long height) {
  return width >= 1 && height >= 1 && width <= MaxPictureSide && height <= MaxPictureSide &&
         width * height <= MaxPicturePixels;
}

inline DataError BadPictureSize(long long width, long long height) {
  return DataError("Ungültige Bildgröße " + std::to_string(width) + " × " + std::to_string(height) + " Pixel");
}

// Throws unless width × height is a picture the decoders will allocate.
inline void CheckPictureSize(long long width, long long height) {
  if (!PictureSizeAllowed(width, height)) throw BadPictureSize(width, height);
}

}  // namespace kolbet
