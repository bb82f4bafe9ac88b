#include "assets/gif_decode.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <gif_lib.h>

#include "assets/data_error.h"
#include "assets/picture_size.h"

namespace kolbet {

namespace {

DataError InvalidSignature() { return DataError("Invalid GIF signature"); }
DataError PrematureEnd() { return DataError("Premature end of data"); }
DataError InvalidData() { return DataError("Invalid GIF data"); }

// giflib pulls its input through this; reads never go past the end of the span.
// giflib insists on an upper-case "GIF", so the signature is handed over in
// upper case whatever case the stream has.
struct Source {
  std::span<const std::uint8_t> Data;
  std::size_t Position = 0;
  bool Exhausted = false;  // giflib asked for more than was left
};

int ReadInput(GifFileType* gif, GifByteType* buffer, int wanted) {
  auto* source = static_cast<Source*>(gif->UserData);
  if (wanted <= 0) return 0;
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(wanted),
                                                  source->Data.size() - source->Position);
  if (count < static_cast<std::size_t>(wanted)) source->Exhausted = true;
  std::memcpy(buffer, source->Data.data() + source->Position, count);
  for (std::size_t i = 0; i < count; ++i) {
    if (source->Position + i < 3) buffer[i] = "GIF"[source->Position + i];
  }
  source->Position += count;
  return static_cast<int>(count);
}

// giflib's error codes do not tell a short stream from a bad one (it also
// reports an impossible code size as a failed read), so running out of input
// is judged by the source itself.
DataError ErrorFor(const Source& source, int giflibError) {
  if (source.Exhausted || giflibError == D_GIF_ERR_EOF_TOO_SOON) return PrematureEnd();
  if (giflibError == D_GIF_ERR_NOT_GIF_FILE) return InvalidSignature();
  return InvalidData();
}

struct CloseGif {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};
using GifHandle = std::unique_ptr<GifFileType, CloseGif>;


// The palette as pixels; entries beyond the colour map are black, the
// transparent entry is unpainted.
std::array<std::uint32_t, 256> PaletteOf(const ColorMapObject* map, int transparent) {
  std::array<std::uint32_t, 256> palette;
  palette.fill(Rgb(0, 0, 0));
  const int count = std::min(map->ColorCount, 256);
  for (int i = 0; i < count; ++i) {
    const GifColorType& c = map->Colors[i];
    palette[i] = Rgb(c.Red, c.Green, c.Blue);
  }
  if (transparent >= 0 && transparent < 256) palette[transparent] &= 0x00FFFFFFu;
  return palette;
}

// Row of the picture that the n-th stored row of an interlaced image belongs to:
// every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
int InterlacedRow(int n, int height) {
  const int pass1 = (height + 7) / 8;
  if (n < pass1) return n * 8;
  n -= pass1;
  const int pass2 = (height + 3) / 8;
  if (n < pass2) return 4 + n * 8;
  n -= pass2;
  const int pass3 = (height + 1) / 4;
  if (n < pass3) return 2 + n * 4;
  n -= pass3;
  return 1 + n * 2;
}

}  // namespace

bool HasGifSignature(std::span<const std::uint8_t> data) {
  if (data.size() < 3) return false;
  auto upper = [](std::uint8_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
  return upper(data[0]) == 'G' && upper(data[1]) == 'I' && upper(data[2]) == 'F';
}

namespace {

TPicture Decode(std::span<const std::uint8_t> data, TDecodeBudget* budget, int maxWidth, int maxHeight,
                bool sizeOnly) {
  if (!HasGifSignature(data)) throw InvalidSignature();
  Source source{data};
  int openError = 0;
  GifHandle gif(DGifOpen(&source, ReadInput, &openError));
  if (!gif) throw ErrorFor(source, openError);
  auto Check = [&](int result) {
    if (result == GIF_ERROR) throw ErrorFor(source, gif->Error);
  };

  int transparent = -1;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    Check(DGifGetRecordType(gif.get(), &record));
    if (record == TERMINATE_RECORD_TYPE) throw InvalidData();  // a GIF without an image
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      Check(DGifGetExtension(gif.get(), &code, &block));
      // Graphic control extension: flags, delay (2 bytes), transparent index.
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        transparent = (block[1] & 0x01) ? block[4] : -1;
      }
      while (block) Check(DGifGetExtensionNext(gif.get(), &block));
      continue;
    }
    if (record != IMAGE_DESC_RECORD_TYPE) throw InvalidData();
    break;
  }

  Check(DGifGetImageDesc(gif.get()));
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
  if (!map || image.Width < 1 || image.Height < 1 || image.Left < 0 || image.Top < 0) throw InvalidData();

  const long long width = std::max<long long>(gif->SWidth, static_cast<long long>(image.Left) + image.Width);
  const long long height = std::max<long long>(gif->SHeight, static_cast<long long>(image.Top) + image.Height);
  CheckPictureSize(width, height);
  if (sizeOnly) return TPicture{static_cast<int>(width), static_cast<int>(height), {}};

  // Outside the image: the background colour of the global palette, unpainted.
  std::uint32_t background = Rgb(0, 0, 0);
  if (gif->SColorMap && gif->SBackGroundColor >= 0 && gif->SBackGroundColor < gif->SColorMap->ColorCount) {
    const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
    background = Rgb(c.Red, c.Green, c.Blue);
  }
  TPicture picture;
  picture.Width = static_cast<int>(std::min<long long>(width, std::max(maxWidth, 1)));
  picture.Height = static_cast<int>(std::min<long long>(height, std::max(maxHeight, 1)));
  const long long kept = static_cast<long long>(picture.Width) * picture.Height;
  if (budget && !budget->TakePixels(kept)) throw budget->PixelsExceeded();
  if (budget && !budget->TakeScanPixels(static_cast<long long>(image.Width) * image.Height)) {
    throw budget->ScanPixelsExceeded();
  }
  picture.Pixels.assign(static_cast<std::size_t>(kept), background & 0x00FFFFFFu);

  // Rows and columns beyond the kept part are decoded (the stream goes on
  // through them) but not stored.
  const std::array<std::uint32_t, 256> palette = PaletteOf(map, transparent);
  std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
  const int columns = std::clamp(picture.Width - image.Left, 0, image.Width);
  for (int n = 0; n < image.Height; ++n) {
    Check(DGifGetLine(gif.get(), line.data(), image.Width));
    const int y = image.Top + (image.Interlace ? InterlacedRow(n, image.Height) : n);
    if (y >= picture.Height || columns == 0) continue;
    std::uint32_t* out = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width + image.Left;
    for (int x = 0; x < columns; ++x) out[x] = palette[line[x]];
  }
  return picture;
}

}  // namespace

TPicture DecodeGif(std::span<const std::uint8_t> data, TDecodeBudget* budget, int maxWidth, int maxHeight) {
  return Decode(data, budget, maxWidth, maxHeight, false);
}

TPicture GifSize(std::span<const std::uint8_t> data) { return Decode(data, nullptr, MaxPictureSide, MaxPictureSide, true); }

}  // namespace kolbet
