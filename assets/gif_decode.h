#pragma once
// GIF decoding (GIF87a and GIF89a) with giflib, from memory.

#include <cstdint>
#include <span>

#include "assets/decode_budget.h"
#include "assets/picture.h"
#include "assets/picture_size.h"

namespace kolbet {

// Alpha of a pixel that the GIF leaves unpainted: its transparent colour index
// (from the graphic control extension), or a place of the logical screen that
// the image does not cover. Such a pixel keeps the colour it would have
// (the palette entry, or the background colour) so that it can still be shown
// opaque.
inline constexpr std::uint32_t GifUnpaintedAlpha = 0x00000000;
inline constexpr bool IsPainted(std::uint32_t pixel) { return (pixel >> 24) != 0; }

// Whether the stream starts with the signature "GIF", in any case.
bool HasGifSignature(std::span<const std::uint8_t> data);

// Decodes the first image of the GIF stream that starts at data[0]. The picture
// has the size of the logical screen (grown if the image reaches beyond it),
// with the image placed at its left and top position and interlaced rows put in
// their right order. Painted pixels have alpha 0xFF, unpainted ones alpha 0.
// The version after the signature is not checked; reading stops after the
// first image, so nothing after the stream's own end is ever read.
// Throws DataError: "Invalid GIF signature", "Premature end of data",
// "Invalid GIF data", or the error for an absurd picture size.
//
// A picture that will be cut to a smaller one (an overlay on its card) is
// decoded only up to `maxWidth` × `maxHeight`: a tiny image on a huge screen
// then costs no more than the part that is kept. With a `budget` the kept
// pixels and the image's decoded ones are counted against it, and going beyond
// it throws its error.
TPicture DecodeGif(std::span<const std::uint8_t> data, TDecodeBudget* budget = nullptr,
                   int maxWidth = MaxPictureSide, int maxHeight = MaxPictureSide);

// Only the picture's size (as DecodeGif would make it, uncut), read up to the
// first image's descriptor, without pixels; the same errors for a bad header.
TPicture GifSize(std::span<const std::uint8_t> data);

}  // namespace kolbet
