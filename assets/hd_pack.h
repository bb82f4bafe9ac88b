#pragma once
// The high-resolution companion "kolbet-hd.dat" of the graphics pack: the
// same 72 entries in the pack's own format, every picture exactly HdFactor
// times the width and height of its counterpart in kolbet.dat. kolbet.dat
// stays the game's pack and decides every size and position; the companion
// only lends its pixels where a picture is drawn larger than kolbet.dat holds
// it, so that large screens show sharp pictures instead of enlarged ones.
//
// Opening it reads the headers of its streams, nothing more, and checks their
// sizes against kolbet.dat's; the file stays open, but none of it is kept in
// memory: a picture's stream is read from the file when the picture is drawn,
// and decoded only about as large as it is drawn. Its bounds are the pack's:
// the file size, each picture's size, the JPEG scans, and for each picture
// decoded the pack's pixel budget. Each stream must end where the next one in
// the file begins (as the generator writes them).

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "assets/graphics_pack.h"
#include "assets/picture.h"

namespace kolbet {

inline constexpr int HdFactor = 4;
inline constexpr const char* HdPackFile = "kolbet-hd.dat";

class THdPack {
 public:
  // The companion `name` of a pack whose entries have the sizes `pack`, or
  // nothing when there is no such file. DataError when it cannot be read, when
  // its table or a header is damaged, or "Datei NAME passt nicht zu
  // kolbet.dat: Eintrag K ist W × H Pixel groß statt W' × H'" when a picture
  // is not exactly `factor` times its counterpart.
  static std::shared_ptr<const THdPack> Open(const std::string& name, const TEntrySizes& pack,
                                             int factor = HdFactor);

  const std::string& Name() const { return Name_; }
  int Factor() const { return Factor_; }
  // The size of item `item` (0 .. 38) in the companion.
  TPictureSize Size(int item) const { return Sizes_[item]; }

  // Item `item` composed as the pack composes it (a card with its overlay),
  // at least `width` × `height` where the stream allows: a JPEG is decoded at
  // the smallest of 1/8, 1/4, 1/2 and its whole size that is at least 1.25
  // times as large (or whole), so that shrinking it keeps its edges; a GIF
  // always whole. The pixels are 0xAARRGGBB with real alpha: 0 where the
  // key colour leaves the picture out (in the items drawn with it), partly so
  // along the edges of a card decoded smaller than its overlay, 0xFF
  // elsewhere. Safe to call from several threads at once. DataError for a
  // damaged stream.
  TPicture Decode(int item, int width, int height) const;

  ~THdPack();
  THdPack(const THdPack&) = delete;
  THdPack& operator=(const THdPack&) = delete;

 private:
  THdPack(int file, std::string name, int factor);
  // The bytes of one entry's stream, read from the file.
  std::vector<std::uint8_t> Read(int entry) const;

  int File_;  // open for reading, or -1
  std::string Name_;
  int Factor_;
  TEntrySizes Sizes_{};
  // Where each entry's stream lies in the file: from its offset up to the
  // next offset of the table or the file's end.
  std::array<std::int64_t, PackEntryCount> Begin_{};
  std::array<std::int64_t, PackEntryCount> End_{};
};

}  // namespace kolbet
