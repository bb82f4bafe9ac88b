#include "assets/graphics_pack.h"

#include <algorithm>
#include <map>
#include <vector>

#include "assets/data_error.h"
#include "assets/data_file.h"
#include "assets/decode_budget.h"
#include "assets/gif_decode.h"
#include "assets/jpeg_decode.h"
#include "assets/picture_size.h"

namespace kolbet {

namespace {

std::int32_t ReadInt32(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::uint32_t value = static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
                              (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
                              (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
  return static_cast<std::int32_t>(value);
}

struct Pack {
  std::span<const std::uint8_t> Bytes;
  const std::string& Name;
  TDecodeBudget& Budget;

  std::int32_t Offset(int entry) const { return ReadInt32(Bytes, static_cast<std::size_t>(entry) * 4); }

  // The bytes from entry k's offset to the end of the file.
  std::span<const std::uint8_t> Stream(int entry) const {
    const std::int32_t offset = Offset(entry);
    if (offset < 0 || static_cast<std::size_t>(offset) >= Bytes.size()) {
      throw DataError("Datei " + Name + " ist beschädigt: Eintrag " + std::to_string(entry) + " zeigt auf Byte " +
                      std::to_string(offset) + ", außerhalb der Datei (" + std::to_string(Bytes.size()) +
                      " Bytes)");
    }
    return Bytes.subspan(static_cast<std::size_t>(offset));
  }

  // A GIF stream may begin 4 bytes after its offset; an overlay is decoded
  // only as far as its card reaches.
  std::span<const std::uint8_t> GifStream(int entry) const {
    std::span<const std::uint8_t> stream = Stream(entry);
    if (!HasGifSignature(stream) && stream.size() > 4) stream = stream.subspan(4);
    return stream;
  }

  TPicture Gif(int entry, int maxWidth = MaxPictureSide, int maxHeight = MaxPictureSide) const {
    return DecodeGif(GifStream(entry), &Budget, maxWidth, maxHeight);
  }

  TPicture Jpeg(int entry) const { return DecodeJpeg(Stream(entry), &Budget); }
};

long long PixelsOf(const TPicture& picture) { return static_cast<long long>(picture.Width) * picture.Height; }

// Cards often share one overlay (the same outline on every card): such an
// overlay is decoded once, as large as the cards it has been laid on, and
// decoded anew only for a larger card. Its pixels go back to the budget when
// the cards are done.
class SharedOverlays {
 public:
  explicit SharedOverlays(const Pack& pack) : Of(pack) {}
  ~SharedOverlays() {
    for (const auto& [offset, known] : Known) Of.Budget.GiveBackPixels(PixelsOf(known.Overlay));
  }
  SharedOverlays(const SharedOverlays&) = delete;
  SharedOverlays& operator=(const SharedOverlays&) = delete;

  const TPicture& For(int entry, const TPicture& card) {
    Decoded& known = Known[Of.Offset(entry)];
    if (known.MaxWidth >= card.Width && known.MaxHeight >= card.Height) return known.Overlay;
    TPicture overlay = Of.Gif(entry, card.Width, card.Height);
    Of.Budget.GiveBackPixels(PixelsOf(known.Overlay));
    known = {std::move(overlay), card.Width, card.Height};
    return known.Overlay;
  }

 private:
  // An overlay and the size it was cut to (nothing decoded yet: 0 × 0).
  struct Decoded {
    TPicture Overlay;
    int MaxWidth = 0;
    int MaxHeight = 0;
  };
  const Pack& Of;
  std::map<std::int32_t, Decoded> Known;
};

// Pictures without a key colour show every pixel, unpainted GIF pixels too.
void MakeOpaque(TPicture& picture) {
  for (std::uint32_t& pixel : picture.Pixels) pixel |= 0xFF000000u;
}

// Pictures with the key colour leave unpainted GIF pixels out like pure blue.
void KeyUnpainted(TPicture& picture) {
  for (std::uint32_t& pixel : picture.Pixels) {
    if (!IsPainted(pixel)) pixel = KeyColour;
  }
}

void CheckTable(std::span<const std::uint8_t> bytes, const std::string& name) {
  if (bytes.size() < static_cast<std::size_t>(PackTableSize)) {
    throw DataError("Datei " + name + " ist beschädigt: nur " + std::to_string(bytes.size()) +
                    " Bytes, die Tabelle der Bildanfänge braucht " + std::to_string(PackTableSize));
  }
}

}  // namespace

TPicture ComposeCard(std::span<const std::uint8_t> stream, TDecodeBudget* budget) {
  return DecodeJpeg(stream, budget);
}

void LayOverlay(TPicture& card, const TPicture& overlay) {
  const int width = std::min(card.Width, overlay.Width);
  const int height = std::min(card.Height, overlay.Height);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* from = overlay.Pixels.data() + static_cast<std::size_t>(y) * overlay.Width;
    std::uint32_t* to = card.Pixels.data() + static_cast<std::size_t>(y) * card.Width;
    for (int x = 0; x < width; ++x) {
      if (IsPainted(from[x])) to[x] = from[x];
    }
  }
}

bool IsGifEntry(int entry) { return !(entry <= CardBackImage || entry == TableImage); }

std::int32_t PackOffset(std::span<const std::uint8_t> bytes, int entry) {
  return ReadInt32(bytes, static_cast<std::size_t>(entry) * 4);
}

std::span<const std::uint8_t> PackStream(std::span<const std::uint8_t> bytes, const std::string& name, int entry) {
  CheckTable(bytes, name);
  TDecodeBudget unused(name);
  const Pack pack{bytes, name, unused};
  return IsGifEntry(entry) ? pack.GifStream(entry) : pack.Stream(entry);
}

TEntrySizes PackEntrySizes(std::span<const std::uint8_t> bytes, const std::string& name) {
  TEntrySizes sizes;
  for (int entry = 0; entry < PackEntryCount; ++entry) {
    const std::span<const std::uint8_t> stream = PackStream(bytes, name, entry);
    const TPicture size = IsGifEntry(entry) ? GifSize(stream) : JpegSize(stream);
    sizes[entry] = {size.Width, size.Height};
  }
  return sizes;
}

void LoadGraphicsFrom(std::span<const std::uint8_t> bytes, const std::string& name, TImageList& koartn,
                      const GraphicsProgress& progress) {
  CheckTable(bytes, name);
  TDecodeBudget budget(name);
  const Pack pack{bytes, name, budget};
  auto store = [&](int item, TPicture picture) {
    koartn[item] = std::move(picture);
    if (progress) progress(item);
  };

  {
    SharedOverlays shared(pack);
    for (int i = 0; i <= CardBackImage; ++i) {
      TPicture card = ComposeCard(pack.Stream(i), &budget);
      const int entry = OverlayEntry + i;
      int users = 0;
      for (int k = OverlayEntry; k <= OverlayEntry + CardBackImage; ++k) users += pack.Offset(k) == pack.Offset(entry);
      if (users > 1) {
        LayOverlay(card, shared.For(entry, card));
      } else {
        const TPicture overlay = pack.Gif(entry, card.Width, card.Height);
        LayOverlay(card, overlay);
        budget.GiveBackPixels(PixelsOf(overlay));
      }
      store(i, std::move(card));
    }
  }
  TPicture title = pack.Gif(TitleImage);
  MakeOpaque(title);
  store(TitleImage, std::move(title));
  store(TableImage, pack.Jpeg(TableImage));
  for (int i = LeftEdgeUnderImage; i <= WaitingImage; ++i) {
    TPicture picture = pack.Gif(i);
    if (DrawnWithKeyColour(i)) {
      KeyUnpainted(picture);
    } else {
      MakeOpaque(picture);
    }
    store(i, std::move(picture));
  }
}

void LoadGraphics(const std::string& path, TImageList& koartn, const GraphicsProgress& progress) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path, MaxPackSize);
  LoadGraphicsFrom(bytes, path, koartn, progress);
}

}  // namespace kolbet
