#include "assets/hd_pack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#include "assets/data_error.h"
#include "assets/stream_errors.h"
#include "assets/decode_budget.h"
#include "assets/gif_decode.h"
#include "assets/jpeg_decode.h"

namespace kolbet {

namespace {

constexpr std::uint32_t Colour(std::uint32_t pixel) { return pixel & 0x00FFFFFFu; }
constexpr bool IsKey(std::uint32_t pixel) { return Colour(pixel) == Colour(KeyColour); }

// The fewest eighths at which libjpeg's scaled decoding still gives at least
// 1.25 times `width` × `height` of a `full`-sized photograph; whole eighths
// that divide 8, so that an overlay shrinks onto it in whole blocks. Shrunk
// by less than that, by 0.84 say, a picture comes out visibly softer than one
// shrunk from twice the size; the whole photograph is taken when no eighth
// gives that much.
int EighthsFor(TPictureSize full, int width, int height) {
  for (int eighths : {1, 2, 4}) {
    const int decodedWidth = (full.Width * eighths + 7) / 8, decodedHeight = (full.Height * eighths + 7) / 8;
    if (decodedWidth * 4 >= width * 5 && decodedHeight * 4 >= height * 5) return eighths;
  }
  return 8;
}

// A card decoded at 1/r of its overlay's size gets the overlay block by block:
// of the r × r overlay pixels over one card pixel, painted ones stand for
// themselves and unpainted ones for the photograph, and those in the key
// colour make that part of the pixel transparent. At r = 1 this is exactly
// the pack's rule: a painted overlay pixel replaces the photograph's, and pure
// blue is left out; that case, the one of cards drawn large, is done in place
// pixel for pixel, which is several times quicker.
TPicture LayOverlayInBlocks(TPicture card, const TPicture& overlay, int r) {
  if (r == 1) {
    for (int y = 0; y < card.Height; ++y) {
      for (int x = 0; x < card.Width; ++x) {
        std::uint32_t& pixel = card.Pixels[static_cast<std::size_t>(y) * card.Width + x];
        if (x < overlay.Width && y < overlay.Height && IsPainted(overlay.At(x, y))) pixel = overlay.At(x, y);
        pixel = IsKey(pixel) ? 0u : (pixel | 0xFF000000u);
      }
    }
    return card;
  }
  TPicture out{card.Width, card.Height, std::vector<std::uint32_t>(card.Pixels.size())};
  for (int y = 0; y < card.Height; ++y) {
    for (int x = 0; x < card.Width; ++x) {
      const std::uint32_t photo = card.At(x, y);
      unsigned red = 0, green = 0, blue = 0, seen = 0, keyed = 0;
      auto add = [&](std::uint32_t pixel) {
        ++seen;
        if (IsKey(pixel)) {
          ++keyed;
          return;
        }
        red += (pixel >> 16) & 0xFF;
        green += (pixel >> 8) & 0xFF;
        blue += pixel & 0xFF;
      };
      for (int oy = y * r; oy < y * r + r; ++oy) {
        for (int ox = x * r; ox < x * r + r; ++ox) {
          const bool inside = ox < overlay.Width && oy < overlay.Height;
          add(inside && IsPainted(overlay.At(ox, oy)) ? overlay.At(ox, oy) : photo);
        }
      }
      const unsigned shown = seen - keyed;
      if (shown == 0) continue;  // wholly left out: transparent black
      const std::uint32_t alpha = 255 * shown / seen;
      out.Pixels[static_cast<std::size_t>(y) * card.Width + x] =
          (alpha << 24) | ((red / shown) << 16) | ((green / shown) << 8) | (blue / shown);
    }
  }
  return out;
}

void Opaque(TPicture& picture) {
  for (std::uint32_t& pixel : picture.Pixels) pixel |= 0xFF000000u;
}

// Unpainted pixels and pure blue are left out, everything else is opaque.
void Keyed(TPicture& picture) {
  for (std::uint32_t& pixel : picture.Pixels)
    pixel = !IsPainted(pixel) || IsKey(pixel) ? 0u : (pixel | 0xFF000000u);
}

TPictureSize Times(TPictureSize size, int factor) { return {size.Width * factor, size.Height * factor}; }

std::string SizeText(TPictureSize size) {
  return std::to_string(size.Width) + " × " + std::to_string(size.Height);
}

DataError DoesNotMatch(const std::string& name, int entry, TPictureSize size, TPictureSize wanted) {
  return DataError("Datei " + name + " passt nicht zu kolbet.dat: Eintrag " + std::to_string(entry) + " ist " +
                   SizeText(size) + " Pixel groß statt " + SizeText(wanted));
}

// The whole of `bytes` from the file at `offset`; pread may be used from
// several threads at once.
bool ReadAt(int file, std::int64_t offset, std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::pread(file, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

THdPack::THdPack(int file, std::string name, int factor) : File_(file), Name_(std::move(name)), Factor_(factor) {}

THdPack::~THdPack() {
  if (File_ >= 0) ::close(File_);
}

std::shared_ptr<const THdPack> THdPack::Open(const std::string& name, const TEntrySizes& pack, int factor) {
  std::error_code error;
  if (!std::filesystem::exists(name, error)) return nullptr;  // no companion: kolbet.dat alone
  if (!std::filesystem::is_regular_file(name, error)) throw CannotOpenFile(name);
  const int file = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) throw CannotOpenFile(name);
  std::shared_ptr<THdPack> hd(new THdPack(file, name, factor));
  struct stat status {};
  if (::fstat(file, &status) != 0) throw CannotOpenFile(name);
  if (static_cast<std::uintmax_t>(status.st_size) > MaxPackSize) throw DataError("Datei " + name + " ist zu groß");
  const std::int64_t size = status.st_size;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!ReadAt(file, 0, bytes)) throw StreamReadError();

  hd->Sizes_ = PackEntrySizes(bytes, name);
  for (int entry = 0; entry < PackEntryCount; ++entry) {
    const TPictureSize wanted = Times(pack[entry], factor);
    if (hd->Sizes_[entry] != wanted) throw DoesNotMatch(name, entry, hd->Sizes_[entry], wanted);
  }
  // The table is sound (every offset inside the file), or the sizes could not
  // have been read.
  for (int entry = 0; entry < PackEntryCount; ++entry) hd->Begin_[entry] = PackOffset(bytes, entry);
  for (int entry = 0; entry < PackEntryCount; ++entry) {
    std::int64_t end = size;
    for (const std::int64_t begin : hd->Begin_)
      if (begin > hd->Begin_[entry]) end = std::min(end, begin);
    hd->End_[entry] = end;
  }
  return hd;
}

std::vector<std::uint8_t> THdPack::Read(int entry) const {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(End_[entry] - Begin_[entry]));
  if (!ReadAt(File_, Begin_[entry], bytes)) throw StreamReadError();
  // A GIF stream may begin 4 bytes after its offset.
  if (IsGifEntry(entry) && !HasGifSignature(bytes) && bytes.size() > 4) bytes.erase(bytes.begin(), bytes.begin() + 4);
  return bytes;
}

TPicture THdPack::Decode(int item, int width, int height) const {
  if (item < 0 || item >= ImageCount) return {};
  TDecodeBudget budget(Name_);
  const TPictureSize full = Sizes_[item];
  const int eighths = IsGifEntry(item) ? 8 : EighthsFor(full, width, height);
  TPicture picture = IsGifEntry(item) ? DecodeGif(Read(item), &budget) : DecodeJpeg(Read(item), &budget, eighths);
  // The file may have changed since it was opened: what is decoded must still
  // have the size its header had.
  const TPictureSize wanted{(full.Width * eighths + 7) / 8, (full.Height * eighths + 7) / 8};
  if (picture.Width != wanted.Width || picture.Height != wanted.Height)
    throw DoesNotMatch(Name_, item, {picture.Width, picture.Height}, wanted);
  if (item <= CardBackImage) {
    const TPicture overlay = DecodeGif(Read(OverlayEntry + item), &budget, full.Width, full.Height);
    return LayOverlayInBlocks(std::move(picture), overlay, 8 / eighths);
  }
  if (DrawnWithKeyColour(item)) {
    Keyed(picture);
  } else {
    Opaque(picture);
  }
  return picture;
}

}  // namespace kolbet
