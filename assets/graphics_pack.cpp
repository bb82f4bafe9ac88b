#include "assets/graphics_pack.h"

#include <algorithm>
#include <map>
#include <vector>

#include "assets/data_error.h"
#include "assets/data_file.h"
#include "assets/gif_decode.h"
#include "assets/jpeg_decode.h"

namespace kolbet {

namespace {

// Far beyond any pack the game ships; a larger file is not read into memory.
constexpr std::size_t MaxPackSize = 256u << 20;

std::int32_t ReadInt32(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::uint32_t value = static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
                              (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
                              (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
  return static_cast<std::int32_t>(value);
}

struct Pack {
  std::span<const std::uint8_t> Bytes;
  const std::string& Name;

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

  // A GIF stream may begin 4 bytes after its offset.
  TPicture Gif(int entry) const {
    std::span<const std::uint8_t> stream = Stream(entry);
    if (!HasGifSignature(stream) && stream.size() > 4) stream = stream.subspan(4);
    return DecodeGif(stream);
  }
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

}  // namespace

TPicture ComposeCard(std::span<const std::uint8_t> stream) { return DecodeJpeg(stream); }

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

void LoadGraphicsFrom(std::span<const std::uint8_t> bytes, const std::string& name, TImageList& koartn,
                      const GraphicsProgress& progress) {
  if (bytes.size() < static_cast<std::size_t>(PackTableSize)) {
    throw DataError("Datei " + name + " ist beschädigt: nur " + std::to_string(bytes.size()) +
                    " Bytes, die Tabelle der Bildanfänge braucht " + std::to_string(PackTableSize));
  }
  const Pack pack{bytes, name};
  auto store = [&](int item, TPicture picture) {
    koartn[item] = std::move(picture);
    if (progress) progress(item);
  };

  // Cards often share one overlay (the same outline on every card): such an
  // overlay is decoded once and kept until the cards are done.
  std::map<std::int32_t, TPicture> sharedOverlays;
  for (int i = 0; i <= CardBackImage; ++i) {
    TPicture card = ComposeCard(pack.Stream(i));
    const int entry = OverlayEntry + i;
    int users = 0;
    for (int k = OverlayEntry; k <= OverlayEntry + CardBackImage; ++k) users += pack.Offset(k) == pack.Offset(entry);
    if (users > 1) {
      auto known = sharedOverlays.find(pack.Offset(entry));
      if (known == sharedOverlays.end()) known = sharedOverlays.emplace(pack.Offset(entry), pack.Gif(entry)).first;
      LayOverlay(card, known->second);
    } else {
      LayOverlay(card, pack.Gif(entry));
    }
    store(i, std::move(card));
  }
  TPicture title = pack.Gif(TitleImage);
  MakeOpaque(title);
  store(TitleImage, std::move(title));
  store(TableImage, DecodeJpeg(pack.Stream(TableImage)));
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
