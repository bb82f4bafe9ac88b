#pragma once
// What reading one graphics pack may cost, counted while its pictures are
// decoded. Each picture may be as large as the per-picture limit
// (picture_size.h), but a pack of 72 entries could then ask for gigabytes and
// minutes; the budget bounds the sum.
//
// The game's own pack holds 39 pictures of at most 640 × 480 (3.4 million
// pixels kept) and 33 overlays of card size, about 6 million pixels decoded,
// every JPEG with one scan. The limits leave room for twenty to forty times
// that, progressive JPEGs included:
//
//   MaxPackPixels     64 Mi pixels kept or being decoded (256 MiB of pixels)
//   MaxPackScanPixels 256 Mi pixels decoded, a JPEG's pixels counted once per
//                     scan and a GIF's image once
//
// A pack beyond either is "Datei NAME ist zu groß: ...".

#include <string>
#include <utility>

#include "assets/data_error.h"

namespace kolbet {

inline constexpr long long MaxPackPixels = 64LL << 20;
inline constexpr long long MaxPackScanPixels = 256LL << 20;

class TDecodeBudget {
 public:
  explicit TDecodeBudget(std::string name, long long pixels = MaxPackPixels,
                         long long scanPixels = MaxPackScanPixels)
      : Name(std::move(name)), PixelsLeft(pixels), ScanPixelsLeft(scanPixels), PixelLimit(pixels),
        ScanPixelLimit(scanPixels) {}

  // Whether a picture of `count` more pixels still fits; if so they are counted.
  bool TakePixels(long long count) { return Take(PixelsLeft, count); }
  // Whether `count` more decoded pixels (one scan, one GIF image) still fit.
  bool TakeScanPixels(long long count) { return Take(ScanPixelsLeft, count); }

  // A picture handed back (one that is dropped again) returns its pixels.
  void GiveBackPixels(long long count) { PixelsLeft += count; }

  DataError PixelsExceeded() const {
    return DataError("Datei " + Name + " ist zu groß: ihre Bilder haben mehr als " + std::to_string(PixelLimit) +
                     " Pixel");
  }
  DataError ScanPixelsExceeded() const {
    return DataError("Datei " + Name + " ist zu groß: ihre Bilder brauchen mehr als " +
                     std::to_string(ScanPixelLimit) + " Pixel an Dekodierarbeit");
  }

 private:
  static bool Take(long long& left, long long count) {
    if (count > left) return false;
    left -= count;
    return true;
  }

  std::string Name;
  long long PixelsLeft;
  long long ScanPixelsLeft;
  long long PixelLimit;
  long long ScanPixelLimit;
};

}  // namespace kolbet
