#pragma once
// The card graphics pack "kolbet.dat": a table of 72 absolute offsets
// (signed 32-bit little-endian) followed by JPEG and GIF streams in any order.
//
//   entry 0..32   JPEG photograph of item k (cards 0..31, the back 32)
//   entry 33      GIF  title picture          entry 34  JPEG table background
//   entry 35..38  GIF  pictures 35..38        entry 39..71  GIF overlay of item k - 39
//
// A GIF stream may also start 4 bytes after its offset.
//
// Bounds on a pack, far beyond what the game's own pack needs (39 pictures of
// at most 640 × 480, 3.4 million pixels kept, 6 million decoded with the
// overlays; its high-resolution companion, assets/hd_pack.h, obeys the same
// bounds with the budget counted for each picture it decodes):
//   - the file: 256 MiB at most ("Datei NAME ist zu groß");
//   - each picture: 16384 pixels a side and 4096 × 4096 pixels in all
//     ("Ungültige Bildgröße W × H Pixel"); an overlay is kept only as large as
//     its card, and an overlay shared by several cards is decoded once;
//   - each JPEG: 100 scans ("JPEG-Fehler: mehr als 100 Scans");
//   - the whole pack: 64 Mi pixels kept at once and 256 Mi pixels of decoding
//     work, a JPEG's pixels counted once per scan ("Datei NAME ist zu groß: ...",
//     see assets/decode_budget.h).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "assets/decode_budget.h"
#include "assets/picture.h"

namespace kolbet {

// The pack's name in the folder the game reads its data files from.
inline constexpr const char* GraphicsPackFile = "kolbet.dat";
inline constexpr int PackEntryCount = 72;
inline constexpr int PackTableSize = PackEntryCount * 4;  // 288 bytes
inline constexpr int OverlayEntry = 39;                   // entry of item 0's overlay

// Told the number of each item just stored, 0 to 38 in order.
using GraphicsProgress = std::function<void(int item)>;

// Reads the pack file `path` (opened by the name as given) into `koartn`.
// Items are stored one by one; when a stream is bad the reading stops with a
// DataError and the items stored before it keep their pictures.
// "Datei NAME kann nicht geöffnet werden" when the file cannot be read.
void LoadGraphics(const std::string& path, TImageList& koartn, const GraphicsProgress& progress = {});

// The same for a pack already in memory; `name` is the file name errors show.
void LoadGraphicsFrom(std::span<const std::uint8_t> bytes, const std::string& name, TImageList& koartn,
                      const GraphicsProgress& progress = {});

// The size of the picture of each of the 72 entries, read from the streams'
// headers without decoding them (a GIF's uncut size). The same errors as
// LoadGraphicsFrom for a table or header that cannot be read.
struct TPictureSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TPictureSize&) const = default;
};
using TEntrySizes = std::array<TPictureSize, PackEntryCount>;
TEntrySizes PackEntrySizes(std::span<const std::uint8_t> bytes, const std::string& name);

// The stream of one entry, from its offset to the end of the file; a GIF
// entry already past the 4 bytes it may start with. "Datei NAME ist
// beschädigt: ..." for an offset outside the file.
std::span<const std::uint8_t> PackStream(std::span<const std::uint8_t> bytes, const std::string& name, int entry);
bool IsGifEntry(int entry);
// The raw offset of an entry, from a table already known to be there.
std::int32_t PackOffset(std::span<const std::uint8_t> bytes, int entry);

// The largest pack file read into memory.
inline constexpr std::size_t MaxPackSize = 256u << 20;

// A card picture's base: the JPEG photograph that starts at stream[0], as a new
// picture of the photograph's size, counted against `budget` when given.
TPicture ComposeCard(std::span<const std::uint8_t> stream, TDecodeBudget* budget = nullptr);

// Lays a decoded GIF overlay on `card` at (0, 0): its painted pixels replace
// the card's, its unpainted ones (transparent index) leave the photograph
// visible; whatever reaches beyond the card is cut off.
void LayOverlay(TPicture& card, const TPicture& overlay);

}  // namespace kolbet
