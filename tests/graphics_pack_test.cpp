// Reading whole packs: placement of the streams, overlays, the pictures with
// and without the key colour, progress, and every way a pack can be damaged.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <unistd.h>
#include <jpeglib.h>
#include <jerror.h>

#include "assets/data_error.h"
#include "assets/graphics_pack.h"
#include "assets/hd_pack.h"
#include "tests/graphics_fixtures.h"

using namespace kolbet;
using namespace kolbet::test;

namespace {

// A 20 × 30 photograph, a different colour for every card so that a stream
// read from the wrong place shows.
Bytes Photo(int item) {
  char colour[32];
  std::snprintf(colour, sizeof colour, "rgb(%d,%d,%d)", 40 + item * 6, 200 - item * 5, 90);
  return Convert(std::string("-size 20x30 xc:'") + colour + "' -quality 95", "jpg");
}

// Overlay 10 × 10: left half pure blue, right half transparent.
Bytes CornerOverlay() { return Convert("-size 5x10 xc:blue -size 5x10 xc:white +append -transparent white", "gif"); }
// Overlay without a transparent index, larger than the photograph.
Bytes CoveringOverlay() { return Convert("-size 30x40 xc:yellow", "gif"); }
// A table picture: 8 × 6, left half red, right half transparent.
Bytes HalfTransparent() { return Convert("-size 4x6 xc:red -size 4x6 xc:white +append -transparent white", "gif"); }

struct Layout {
  PackWriter Pack;
  std::vector<int> Offsets = std::vector<int>(PackEntryCount, 0);
};

// Every stream at its entry; streams are written in reverse order with unused
// bytes between them, every second GIF four bytes after its offset; the
// overlays of cards 0..15 share one stream, those of items 31 and 32 another.
Layout FullPack() {
  Layout layout;
  PackWriter& pack = layout.Pack;
  const Bytes corner = CornerOverlay(), covering = CoveringOverlay(), half = HalfTransparent();
  const Bytes skip = {'J', 'U', 'N', 'K'};
  auto gif = [&](int entry, const Bytes& stream) {
    if (entry % 2 == 0) {
      layout.Offsets[entry] = pack.Append(skip, 3);
      pack.Append(stream);
    } else {
      layout.Offsets[entry] = pack.Append(stream, 7);
    }
  };
  const int shared = pack.Append(corner, 11);
  const int sharedCovering = pack.Append(covering, 13);
  for (int k = PackEntryCount - 1; k >= 0; --k) {
    if (k >= OverlayEntry) {
      if (k - OverlayEntry < 16) layout.Offsets[k] = shared;
      else if (k - OverlayEntry >= 31) layout.Offsets[k] = sharedCovering;
      else gif(k, corner);
    } else if (k == TableImage) {
      layout.Offsets[k] = pack.Append(Convert("-size 64x48 xc:brown -quality 95", "jpg"), 5);
    } else if (k == TitleImage) {
      gif(k, Convert("-size 64x48 xc:green", "gif"));
    } else if (k > TableImage) {
      gif(k, half);
    } else {
      layout.Offsets[k] = pack.Append(Photo(k), 2);
    }
  }
  for (int k = 0; k < PackEntryCount; ++k) pack.SetEntry(k, layout.Offsets[k]);
  return layout;
}

std::string LoadError(const Bytes& pack, TImageList& koartn, std::vector<int>* progress = nullptr) {
  try {
    LoadGraphicsFrom(pack, "kolbet.dat", koartn, [&](int item) {
      if (progress) progress->push_back(item);
    });
  } catch (const DataError& error) {
    return error.what();
  }
  return "(no error)";
}

}  // namespace

TEST(GraphicsPack, StreamsAreFoundByTheirOffsetsAndComposed) {
  const Layout layout = FullPack();
  TImageList koartn;
  std::vector<int> progress;
  ASSERT_EQ(LoadError(layout.Pack.Data, koartn, &progress), "(no error)");

  std::vector<int> expected(ImageCount);
  for (int i = 0; i < ImageCount; ++i) expected[i] = i;
  EXPECT_EQ(progress, expected);

  for (int i = 0; i <= CardBackImage; ++i) {
    SCOPED_TRACE(i);
    const TPicture& card = koartn[i];
    ASSERT_EQ(card.Width, 20);
    ASSERT_EQ(card.Height, 30);
    for (std::uint32_t pixel : card.Pixels) ASSERT_EQ(pixel >> 24, 0xFFu);
    if (i >= 31) {
      // An overlay without transparency hides the photograph where it lies and
      // is cut off at the photograph's edges.
      EXPECT_EQ(card.At(0, 0), Rgb(255, 255, 0));
      EXPECT_EQ(card.At(19, 29), Rgb(255, 255, 0));
      continue;
    }
    // The overlay's pure blue stays exactly the key colour; its transparent
    // part and everything beyond its 10 × 10 leave the photograph.
    EXPECT_EQ(card.At(0, 0), KeyColour);
    EXPECT_EQ(card.At(4, 9), KeyColour);
    EXPECT_TRUE(Near(card.At(15, 20), 40 + i * 6, 200 - i * 5, 90)) << std::hex << card.At(15, 20);
    EXPECT_TRUE(Near(card.At(5, 0), 40 + i * 6, 200 - i * 5, 90));
    EXPECT_TRUE(Near(card.At(0, 10), 40 + i * 6, 200 - i * 5, 90));
  }

  EXPECT_EQ(koartn[TitleImage].Width, 64);
  EXPECT_EQ(koartn[TitleImage].At(10, 10), Rgb(0, 128, 0));
  EXPECT_EQ(koartn[TableImage].Width, 64);
  EXPECT_TRUE(Near(koartn[TableImage].At(10, 10), 165, 42, 42));
  // Transparent GIF pixels: left out like pure blue where the key colour is
  // used, drawn with their palette colour where it is not.
  for (int i = LeftEdgeUnderImage; i <= SmallImage; ++i) {
    EXPECT_EQ(koartn[i].At(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(koartn[i].At(7, 5), KeyColour);
  }
  EXPECT_EQ(koartn[WaitingImage].At(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(koartn[WaitingImage].At(7, 5) >> 24, 0xFFu);
  EXPECT_NE(koartn[WaitingImage].At(7, 5), KeyColour);
}

// One overlay shared by cards of different sizes covers each of them whole,
// whether a card is taller, wider or smaller than those before it.
TEST(GraphicsPack, ASharedOverlayCoversEveryCardItIsLaidOn) {
  const std::pair<int, int> sizes[] = {{20, 30}, {20, 60}, {40, 60}, {20, 30}, {40, 30}};
  PackWriter pack;
  const int overlay = pack.Append(Convert("-size 50x80 xc:yellow", "gif"));
  const int other = pack.Append(HalfTransparent());
  for (int k = 0; k < PackEntryCount; ++k) {
    if (k >= OverlayEntry) {
      pack.SetEntry(k, overlay);
    } else if (k <= CardBackImage || k == TableImage) {
      const auto [w, h] = k < 5 ? sizes[k] : sizes[0];
      pack.SetEntry(k, pack.Append(Convert("-size " + std::to_string(w) + "x" + std::to_string(h) +
                                               " xc:white -quality 95",
                                           "jpg")));
    } else {
      pack.SetEntry(k, other);
    }
  }
  TImageList koartn;
  ASSERT_EQ(LoadError(pack.Data, koartn), "(no error)");
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const TPicture& card = koartn[i];
    ASSERT_EQ(std::pair(card.Width, card.Height), sizes[i]);
    EXPECT_EQ(card.At(card.Width - 1, card.Height - 1), Rgb(255, 255, 0));
  }
}

TEST(GraphicsPack, LoadsFromAFileByTheNameGiven) {
  const std::string dir = FixtureDir() + "/pack-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/kolbet.dat";
  WriteFile(path, FullPack().Pack.Data);
  TImageList koartn;
  LoadGraphics(path, koartn);
  EXPECT_EQ(koartn[CardBackImage].Width, 20);
  EXPECT_EQ(koartn[WaitingImage].Width, 8);

  const std::string missing = dir + "/fehlt.dat";
  try {
    LoadGraphics(missing, koartn);
    ADD_FAILURE() << "no error";
  } catch (const DataError& error) {
    EXPECT_EQ(std::string(error.what()), "Datei " + missing + " kann nicht geöffnet werden");
  }
  try {
    LoadGraphics(dir, koartn);  // a folder cannot be read as a pack
    ADD_FAILURE() << "no error";
  } catch (const DataError& error) {
    EXPECT_EQ(std::string(error.what()), "Datei " + dir + " kann nicht geöffnet werden");
  }
  std::filesystem::remove_all(dir);
}

TEST(GraphicsPack, BrokenTableOrOffsetsAreReportedAndEarlierItemsKept) {
  TImageList koartn;
  EXPECT_EQ(LoadError(Bytes(287, 0), koartn),
            "Datei kolbet.dat ist beschädigt: nur 287 Bytes, die Tabelle der Bildanfänge braucht 288");

  Layout layout = FullPack();
  const auto size = std::to_string(layout.Pack.Data.size());
  Bytes pack = layout.Pack.Data;
  PackWriter patch{pack};
  patch.SetEntry(34, static_cast<std::int32_t>(layout.Pack.Data.size()));
  std::vector<int> progress;
  EXPECT_EQ(LoadError(patch.Data, koartn, &progress),
            "Datei kolbet.dat ist beschädigt: Eintrag 34 zeigt auf Byte " + size + ", außerhalb der Datei (" + size +
                " Bytes)");
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 33);
  EXPECT_EQ(koartn[33].Width, 64);
  EXPECT_TRUE(koartn[34].Empty());

  patch.Data = pack;
  patch.SetEntry(OverlayEntry + 2, -5);
  koartn = {};
  EXPECT_EQ(LoadError(patch.Data, koartn),
            "Datei kolbet.dat ist beschädigt: Eintrag 41 zeigt auf Byte -5, außerhalb der Datei (" + size + " Bytes)");
  EXPECT_FALSE(koartn[1].Empty());
  EXPECT_TRUE(koartn[2].Empty());
}

TEST(GraphicsPack, DamagedStreamsGiveTheDecodersTexts) {
  const Layout layout = FullPack();
  const Bytes& good = layout.Pack.Data;
  auto errorWith = [&](int entry, const Bytes& stream) {
    PackWriter pack{good};
    pack.SetEntry(entry, pack.Append(stream, 1));
    TImageList koartn;
    return LoadError(pack.Data, koartn);
  };
  const Bytes jpeg = Photo(0);
  const Bytes gif = CornerOverlay();

  EXPECT_EQ(errorWith(5, Bytes{'n', 'o', 'J', 'P', 'E', 'G'}), "JPEG-Fehler #" + std::to_string(JERR_NO_SOI));
  // A JPEG cut short at the end of the file.
  EXPECT_EQ(errorWith(TableImage, Bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size()) / 2)),
            "JPEG-Fehler #" + std::to_string(JWRN_JPEG_EOF));
  // Neither at the offset nor four bytes after it.
  EXPECT_EQ(errorWith(OverlayEntry, Bytes{'x', 'x', 'x', 'x', 'x', 'G', 'I', 'F'}), "Invalid GIF signature");
  EXPECT_EQ(errorWith(TitleImage, Bytes{'G', 'I'}), "Invalid GIF signature");
  // Cut in the middle of the image data.
  EXPECT_EQ(errorWith(SmallImage, Bytes(gif.begin(), gif.end() - 5)), "Premature end of data");
  Bytes malformed = gif;
  malformed[GifImageSeparator(gif)] = '?';
  EXPECT_EQ(errorWith(WaitingImage, malformed), "Invalid GIF data");
}

TEST(GraphicsPack, RandomDamageIsAlwaysAReadableError) {
  // Whatever bytes are changed or cut off, the reader either stores all 39
  // items or stops with one of its own texts; either way the items stored
  // are 0, 1, 2 ... in order, each a whole picture, and the rest stay empty.
  const Bytes good = FullPack().Pack.Data;
  // The beginnings of the reader's own texts (std::regex trips GCC's
  // uninitialised-value warning in the sanitizer build).
  const std::string_view readerTexts[] = {
      "Datei kolbet.dat ist beschädigt: ", "Datei kolbet.dat ist zu groß: ", "JPEG-Fehler #",
      "JPEG-Fehler: mehr als 100 Scans", "Invalid GIF signature", "Premature end of data", "Invalid GIF data",
      "Ungültige Bildgröße "};
  const auto isReaderText = [&](const std::string& error) {
    return std::any_of(std::begin(readerTexts), std::end(readerTexts),
                       [&](std::string_view text) { return error.rfind(text, 0) == 0; });
  };
  std::uint32_t state = 12345;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  int loaded = 0, refused = 0;
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    Bytes pack = good;
    for (int n = 1 + next() % 6; n > 0; --n) pack[next() % pack.size()] = static_cast<std::uint8_t>(next() >> 24);
    if (round % 4 == 0) pack.resize(next() % pack.size());
    TImageList koartn;
    std::vector<int> stored;
    const std::string error = LoadError(pack, koartn, &stored);
    if (error == "(no error)") {
      ++loaded;
      ASSERT_EQ(stored.size(), static_cast<std::size_t>(ImageCount));
    } else {
      ++refused;
      ASSERT_TRUE(isReaderText(error)) << error;
    }
    for (int i = 0; i < ImageCount; ++i) {
      const bool kept = i < static_cast<int>(stored.size());
      if (kept) {
        ASSERT_EQ(stored[i], i);
      }
      const TPicture& picture = koartn[i];
      ASSERT_EQ(picture.Empty(), !kept) << "item " << i;
      ASSERT_EQ(picture.Pixels.size(), kept ? static_cast<std::size_t>(picture.Width) * picture.Height : 0u);
    }
  }
  EXPECT_GT(loaded, 10);
  EXPECT_GT(refused, 100);
}

// ---- the high-resolution companion ----

namespace {

// The reader's text for what `step` does, or "(no error)".
template <typename Step>
std::string HdError(Step step) {
  try {
    step();
  } catch (const DataError& error) {
    return error.what();
  }
  return "(no error)";
}

std::string WriteScratch(const std::string& name, const Bytes& bytes) {
  std::string path = FixtureDir() + "/" + std::to_string(getpid()) + "-" + name;
  WriteFile(path, bytes);
  return path;
}

}  // namespace

// A pack read as its own companion at factor 1 gives back every picture of the
// pack exactly, the key colour as transparency, whatever the layout of its
// streams (reversed, with gaps, shared overlays, GIFs four bytes in).
TEST(HdPack, EveryPictureIsComposedAsThePackComposesIt) {
  const Bytes bytes = FullPack().Pack.Data;
  TImageList koartn;
  ASSERT_EQ(LoadError(bytes, koartn), "(no error)");
  const std::string path = WriteScratch("same.dat", bytes);
  const auto hd = THdPack::Open(path, PackEntrySizes(bytes, "kolbet.dat"), 1);
  ASSERT_TRUE(hd);
  for (int item = 0; item < ImageCount; ++item) {
    SCOPED_TRACE(item);
    const TPicture& want = koartn[item];
    const TPicture got = hd->Decode(item, want.Width, want.Height);
    ASSERT_EQ(got.Width, want.Width);
    ASSERT_EQ(got.Height, want.Height);
    for (std::size_t i = 0; i < want.Pixels.size(); ++i) {
      const bool keyed = DrawnWithKeyColour(item) && want.Pixels[i] == KeyColour;
      ASSERT_EQ(got.Pixels[i], keyed ? 0u : want.Pixels[i]) << i;
    }
  }
  // Decoded at half its size (asked for no more than 1/1.25 of that; at
  // exactly half, whole), a card takes its overlay in 2 × 2 blocks: the
  // overlay's blue left half (5 pixels) leaves two whole columns out and
  // makes the third half transparent.
  EXPECT_EQ(hd->Decode(0, 10, 15).Width, 20);
  const TPicture half = hd->Decode(0, 8, 12);
  ASSERT_EQ(half.Width, 10);
  EXPECT_EQ(half.At(1, 2) >> 24, 0u);
  EXPECT_EQ(half.At(2, 2) >> 24, 127u);
  EXPECT_EQ(half.At(3, 2) >> 24, 255u);
  EXPECT_EQ(half.At(1, 7) >> 24, 255u);
  std::filesystem::remove(path);
}

TEST(HdPack, AMissingCompanionIsNoneAndABadOneIsItsReadersError) {
  const Bytes bytes = FullPack().Pack.Data;
  const TEntrySizes sizes = PackEntrySizes(bytes, "kolbet.dat");
  // Entry 5's photograph ends with its scan header, at the end of the file:
  // its header reads, its pixels do not.
  Layout cut = FullPack();
  Bytes photo = Photo(5);
  const std::uint8_t startOfScan[] = {0xFF, 0xDA};
  const auto scan = std::search(photo.begin(), photo.end(), std::begin(startOfScan), std::end(startOfScan));
  photo.resize(static_cast<std::size_t>(scan - photo.begin()) + 2 + (scan[2] << 8 | scan[3]));
  cut.Pack.SetEntry(5, cut.Pack.Append(photo));
  const Bytes& damaged = cut.Pack.Data;
  struct Case {
    const char* Name;
    Bytes File;
    int Factor;
    std::string OpenError, DecodeError;
  };
  const Case cases[] = {
      {"wrong factor", bytes, 2, "passt nicht zu kolbet.dat: Eintrag 0 ist 20 × 30 Pixel groß statt 40 × 60", ""},
      {"no table", Bytes(100, 0), 1, "ist beschädigt: nur 100 Bytes", ""},
      {"damaged photograph", damaged, 1, "(no error)", "JPEG-Fehler"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = WriteScratch("hd.dat", c.File);
    std::shared_ptr<const THdPack> hd;
    const std::string open = HdError([&] { hd = THdPack::Open(path, sizes, c.Factor); });
    EXPECT_NE(open.find(c.OpenError), std::string::npos) << open;
    if (!c.DecodeError.empty()) {
      ASSERT_TRUE(hd);
      EXPECT_EQ(HdError([&] { hd->Decode(4, 20, 30); }), "(no error)");
      const std::string decode = HdError([&] { hd->Decode(5, 20, 30); });
      EXPECT_EQ(decode.rfind(c.DecodeError, 0), 0u) << decode;
    }
    std::filesystem::remove(path);
  }
  EXPECT_EQ(THdPack::Open(FixtureDir() + "/fehlt.dat", sizes), nullptr);
}
