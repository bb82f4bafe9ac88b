// The JPEG and GIF decoders on files written by ImageMagick.

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include "assets/data_error.h"
#include "assets/gif_decode.h"
#include "assets/jpeg_decode.h"
#include "tests/graphics_fixtures.h"
#include "tests/data_error_of.h"

using namespace kolbet;
using namespace kolbet::test;

namespace {

// 32 × 16: red top-left, lime top-right, blue bottom-left, white bottom-right.
const std::string Quadrants =
    "-size 16x8 xc:red -size 16x8 xc:lime +append "
    "\\( -size 16x8 xc:blue -size 16x8 xc:white +append \\) -append";

// 7 × 37, one grey level per row growing downwards (no two rows alike).
const std::string RowRamp = "-size 7x37 gradient:black-white -depth 8 -colors 256";

std::string JpegError(int code) { return "JPEG-Fehler #" + std::to_string(code); }

// The start-of-frame marker's height and width fields, for faking a huge picture.
void SetJpegSize(Bytes& jpeg, int width, int height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(width);
      return;
    }
  }
  ADD_FAILURE() << "no frame marker";
}

}  // namespace

TEST(JpegDecode, BaselineProgressiveGreyAndCmykKeepLayout) {
  struct Case {
    const char* name;
    std::string options;
    bool grey;
  };
  const Case cases[] = {{"baseline", "-quality 95", false},
                        {"progressive", "-quality 95 -interlace JPEG", false},
                        {"cmyk", "-quality 95 -colorspace CMYK", false},
                        {"grey", "-quality 95 -colorspace Gray", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TPicture picture = DecodeJpeg(Convert(Quadrants + " " + c.options, "jpg"));
    ASSERT_EQ(picture.Width, 32);
    ASSERT_EQ(picture.Height, 16);
    for (std::uint32_t pixel : picture.Pixels) ASSERT_EQ(pixel >> 24, 0xFFu);
    if (c.grey) {
      // Red is darker than lime in grey; every pixel has equal channels.
      const std::uint32_t red = picture.At(4, 4), lime = picture.At(28, 4);
      EXPECT_EQ(red & 0xFF, (red >> 8) & 0xFF);
      EXPECT_EQ(red & 0xFF, (red >> 16) & 0xFF);
      EXPECT_LT(red & 0xFF, lime & 0xFF);
      EXPECT_TRUE(Near(picture.At(28, 12), 255, 255, 255));
      continue;
    }
    EXPECT_TRUE(Near(picture.At(4, 4), 255, 0, 0)) << std::hex << picture.At(4, 4);
    EXPECT_TRUE(Near(picture.At(28, 4), 0, 255, 0)) << std::hex << picture.At(28, 4);
    EXPECT_TRUE(Near(picture.At(4, 12), 0, 0, 255)) << std::hex << picture.At(4, 12);
    EXPECT_TRUE(Near(picture.At(28, 12), 255, 255, 255)) << std::hex << picture.At(28, 12);
  }
}

TEST(JpegDecode, StopsAtItsEndMarker) {
  Bytes jpeg = Convert(Quadrants, "jpg");
  const TPicture alone = DecodeJpeg(jpeg);
  const Bytes garbage(5000, 0xFF);
  jpeg.insert(jpeg.end(), garbage.begin(), garbage.end());
  EXPECT_EQ(DecodeJpeg(jpeg).Pixels, alone.Pixels);
}

TEST(JpegDecode, DamagedDataGivesItsErrorNumber) {
  const Bytes good = Convert(Quadrants + " -quality 90", "jpg");
  EXPECT_EQ(ErrorOf([] { DecodeJpeg(Bytes{}); }), JpegError(JERR_INPUT_EMPTY));
  EXPECT_EQ(ErrorOf([] { DecodeJpeg(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}); }), JpegError(JERR_NO_SOI));
  // Cut inside the compressed data: reported, not filled with grey.
  const Bytes cut(good.begin(), good.begin() + static_cast<long>(good.size() * 2 / 3));
  EXPECT_EQ(ErrorOf([&] { DecodeJpeg(cut); }), JpegError(JWRN_JPEG_EOF));
  // Cut inside the header.
  const Bytes header(good.begin(), good.begin() + 40);
  EXPECT_EQ(ErrorOf([&] { DecodeJpeg(header); }).rfind("JPEG-Fehler #", 0), 0u);
}

TEST(JpegDecode, AbsurdSizeIsRefusedBeforeAllocating) {
  Bytes jpeg = Convert(Quadrants, "jpg");
  SetJpegSize(jpeg, 30000, 20);
  EXPECT_EQ(ErrorOf([&] { DecodeJpeg(jpeg); }), "Ungültige Bildgröße 30000 × 20 Pixel");
  SetJpegSize(jpeg, 16000, 16000);
  EXPECT_EQ(ErrorOf([&] { DecodeJpeg(jpeg); }), "Ungültige Bildgröße 16000 × 16000 Pixel");
}

TEST(GifDecode, VersionsAndInterlaceGiveTheSamePixels) {
  const Bytes gif89 = Convert(Quadrants, "gif");
  const Bytes gif87 = Convert(Quadrants, "gif", "GIF87");
  const Bytes interlaced = Convert(Quadrants + " -interlace GIF", "gif");
  ASSERT_EQ(std::string(gif89.begin(), gif89.begin() + 6), "GIF89a");
  ASSERT_EQ(std::string(gif87.begin(), gif87.begin() + 6), "GIF87a");

  const TPicture picture = DecodeGif(gif89);
  ASSERT_EQ(picture.Width, 32);
  ASSERT_EQ(picture.Height, 16);
  EXPECT_EQ(picture.At(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(picture.At(31, 0), Rgb(0, 255, 0));
  EXPECT_EQ(picture.At(0, 15), KeyColour);  // pure blue comes through exactly
  EXPECT_EQ(picture.At(31, 15), Rgb(255, 255, 255));
  EXPECT_EQ(DecodeGif(gif87).Pixels, picture.Pixels);
  EXPECT_EQ(DecodeGif(interlaced).Pixels, picture.Pixels);

  // Lower-case signature and an unknown version are accepted.
  Bytes odd = gif89;
  odd[0] = 'g', odd[1] = 'i', odd[2] = 'f', odd[4] = '0';
  EXPECT_EQ(DecodeGif(odd).Pixels, picture.Pixels);
}

TEST(GifDecode, InterlacedRowsComeOutInOrder) {
  const Bytes plain = Convert(RowRamp, "gif");
  const Bytes interlaced = Convert(RowRamp + " -interlace GIF", "gif");
  ASSERT_GE(interlaced.size(), 11u);
  const TPicture a = DecodeGif(plain), b = DecodeGif(interlaced);
  ASSERT_EQ(b.Height, 37);
  EXPECT_EQ(a.Pixels, b.Pixels);
  for (int y = 1; y < b.Height; ++y) EXPECT_GT(b.At(3, y) & 0xFF, b.At(3, y - 1) & 0xFF) << "row " << y;
}

TEST(GifDecode, TransparencyAndPlacementMarkUnpaintedPixels) {
  // Left half pure blue, right half transparent.
  const TPicture half = DecodeGif(Convert("-size 5x10 xc:blue -size 5x10 xc:white +append -transparent white", "gif"));
  EXPECT_EQ(half.At(0, 0), KeyColour);
  EXPECT_FALSE(IsPainted(half.At(9, 9)));
  // Without a transparent index every pixel is painted.
  const TPicture solid = DecodeGif(Convert("-size 6x6 xc:yellow", "gif"));
  for (std::uint32_t pixel : solid.Pixels) EXPECT_EQ(pixel, Rgb(255, 255, 0));
  // A 4 × 4 image at (5, 5) of a 20 × 20 screen.
  const TPicture placed = DecodeGif(Convert("-size 4x4 xc:red -page 20x20+5+5", "gif"));
  ASSERT_EQ(placed.Width, 20);
  ASSERT_EQ(placed.Height, 20);
  EXPECT_EQ(placed.At(5, 5), Rgb(255, 0, 0));
  EXPECT_EQ(placed.At(8, 8), Rgb(255, 0, 0));
  EXPECT_FALSE(IsPainted(placed.At(4, 5)));
  EXPECT_FALSE(IsPainted(placed.At(9, 9)));
}

// A picture cut to a smaller size (an overlay on its card) keeps only the
// rows and columns within it: an image of 8192 × 2048 cut to 8192 × 2 gives
// its first two rows and writes nothing beyond them.
TEST(GifDecode, ACutPictureKeepsOnlyItsTopLeft) {
  const Bytes tall = Convert("-size 8192x1 xc:red -size 8192x2047 xc:lime -append", "gif");
  for (const auto& [width, height] : {std::pair{8192, 2}, {3, 1}}) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    const TPicture cut = DecodeGif(tall, nullptr, width, height);
    ASSERT_EQ(cut.Width, width);
    ASSERT_EQ(cut.Height, height);
    ASSERT_EQ(cut.Pixels.size(), static_cast<std::size_t>(width) * height);
    EXPECT_EQ(cut.At(width - 1, 0), Rgb(255, 0, 0));
    EXPECT_EQ(cut.At(0, height - 1), height == 1 ? Rgb(255, 0, 0) : Rgb(0, 255, 0));
  }
}

TEST(GifDecode, DamagedDataGivesItsText) {
  const Bytes good = Convert(Quadrants, "gif");
  const int separator = GifImageSeparator(good);
  ASSERT_GT(separator, 0);

  EXPECT_EQ(ErrorOf([] { DecodeGif(Bytes{'G', 'I'}); }), "Invalid GIF signature");
  EXPECT_EQ(ErrorOf([] { DecodeGif(Bytes{'P', 'N', 'G', '8', '9', 'a'}); }), "Invalid GIF signature");
  for (std::size_t length : {std::size_t{8}, static_cast<std::size_t>(separator) + 5, good.size() - 4}) {
    const Bytes cut(good.begin(), good.begin() + static_cast<long>(length));
    EXPECT_EQ(ErrorOf([&] { DecodeGif(cut); }), "Premature end of data") << "cut at " << length;
  }
  Bytes badRecord = good;
  badRecord[separator] = 0x99;
  EXPECT_EQ(ErrorOf([&] { DecodeGif(badRecord); }), "Invalid GIF data");
  Bytes badCodeSize = good;
  badCodeSize[separator + 10] = 12;  // LZW minimum code size after the 10-byte descriptor
  EXPECT_EQ(ErrorOf([&] { DecodeGif(badCodeSize); }), "Invalid GIF data");
  // A screen of 20000 × 10 is refused before any pixels are made.
  Bytes huge = good;
  huge[6] = 20000 & 0xFF, huge[7] = 20000 >> 8;
  EXPECT_EQ(ErrorOf([&] { DecodeGif(huge); }), "Ungültige Bildgröße 20000 × 16 Pixel");
}
