#pragma once
// JPEG decoding with libjpeg (libjpeg-turbo).

#include <cstdint>
#include <span>

#include "assets/picture.h"

namespace kolbet {

// Decodes the JPEG stream that starts at data[0] into an opaque picture of the
// photograph's full size. Bytes after the stream's end are not looked at.
// Colour, grayscale and CMYK photographs all come out as RGB.
// Throws DataError "JPEG-Fehler #N" (N = libjpeg's message code) for bad data,
// a stream that ends early included, and for an absurd picture size.
TPicture DecodeJpeg(std::span<const std::uint8_t> data);

}  // namespace kolbet
