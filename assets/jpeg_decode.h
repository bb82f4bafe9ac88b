#pragma once
// JPEG decoding with libjpeg (libjpeg-turbo).
//
// A progressive JPEG may repeat its scans without end, and libjpeg only warns
// about that while every repeat costs a pass over the whole picture; a real
// photograph has about ten scans, so more than MaxJpegScans is refused.

#include <cstdint>
#include <span>

#include "assets/decode_budget.h"
#include "assets/picture.h"

namespace kolbet {

// Decodes the JPEG stream that starts at data[0] into an opaque picture of the
// photograph's full size. Bytes after the stream's end are not looked at.
// Colour, grayscale and CMYK photographs all come out as RGB.
// Throws DataError "JPEG-Fehler #N" (N = libjpeg's message code) for bad data,
// a stream that ends early included, and for an absurd picture size;
// "JPEG-Fehler: mehr als 100 Scans" beyond MaxJpegScans. With a `budget` the
// picture's pixels and, once per scan, its decoding work are counted against
// it, and going beyond it throws its error.
//
// With `eighths` below 8 the photograph is decoded straight at that many
// eighths of its size (libjpeg's scaled decoding, each side rounded up), which
// is much cheaper than decoding it whole and shrinking it; the budget still
// counts the full size.
inline constexpr int MaxJpegScans = 100;
TPicture DecodeJpeg(std::span<const std::uint8_t> data, TDecodeBudget* budget = nullptr, int eighths = 8);

// Only the photograph's size from its header, without pixels; the same errors
// as DecodeJpeg for a header that cannot be read.
TPicture JpegSize(std::span<const std::uint8_t> data);

}  // namespace kolbet
