#pragma once
// The pictures the table draws, as plain pixels, and the image list `Koartn`
// that holds them. No GUI types here: the window turns a picture into whatever
// its drawing library wants when the drawing surface starts.

#include <array>
#include <cstdint>
#include <vector>

namespace kolbet {

// Row-major pixels 0xAARRGGBB, top row first. Pictures in the image list are
// opaque (alpha 0xFF everywhere); an empty picture (0 × 0) means "no picture".
struct TPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;

  bool Empty() const { return Width <= 0 || Height <= 0; }
  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// Pure blue: pixels of exactly this colour are left out when a picture drawn
// with the key colour is put on the table.
inline constexpr std::uint32_t KeyColour = 0xFF0000FF;

inline constexpr std::uint32_t Rgb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
         static_cast<std::uint32_t>(b);
}

// Items of `Koartn`: 0..31 the card faces (item = card), then these.
inline constexpr int ImageCount = 39;
inline constexpr int CardBackImage = 32;
inline constexpr int TitleImage = 33;       // full screen on the title and waiting screens
inline constexpr int TableImage = 34;       // background of every table scene
inline constexpr int LeftEdgeUnderImage = 35;  // left edge, bottom-aligned, before the cards
inline constexpr int LeftEdgeOverImage = 36;   // left edge, bottom-aligned, after the cards
inline constexpr int SmallImage = 37;       // at (303, 17), after the cards
inline constexpr int WaitingImage = 38;     // bottom-right corner of the waiting screen

using TImageList = std::array<TPicture, ImageCount>;

// Whether the item is drawn with the key colour (pure blue left out): the cards,
// the back and the three pictures laid over the table. The title, the table
// background and the waiting picture are drawn with every pixel.
constexpr bool DrawnWithKeyColour(int item) {
  return (item >= 0 && item <= CardBackImage) || (item >= LeftEdgeUnderImage && item <= SmallImage);
}

}  // namespace kolbet
