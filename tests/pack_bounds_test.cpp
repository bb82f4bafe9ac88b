// Packs and pictures that would cost far more memory or time than any real
// pack: each is refused early with the reader's own text, the items stored
// before it keep their pictures, and what a real pack may hold still loads.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <vector>

#include "assets/data_error.h"
#include "assets/decode_budget.h"
#include "assets/gif_decode.h"
#include "assets/graphics_pack.h"
#include "assets/jpeg_decode.h"
#include "tests/graphics_fixtures.h"
#include "tests/data_error_of.h"

using namespace kolbet;
using namespace kolbet::test;

namespace {

// A one-pixel GIF whose logical screen claims width × height.
Bytes TinyGifOnScreen(int width, int height) {
  Bytes gif = Convert("-size 1x1 xc:red", "gif");
  gif[6] = static_cast<std::uint8_t>(width & 0xFF);
  gif[7] = static_cast<std::uint8_t>(width >> 8);
  gif[8] = static_cast<std::uint8_t>(height & 0xFF);
  gif[9] = static_cast<std::uint8_t>(height >> 8);
  return gif;
}

// A progressive JPEG whose last scan is repeated `extra` more times: the
// stream stays valid, libjpeg only warns about the repeats.
Bytes RepeatLastScan(const Bytes& jpeg, int extra) {
  // Marker segments up to each start of scan; a scan's entropy-coded data runs
  // to the next marker that is neither a stuffed zero nor a restart marker.
  std::size_t lastScan = 0, end = 0;
  for (std::size_t at = 2; at + 1 < jpeg.size();) {
    if (jpeg[at] != 0xFF) return {};
    const std::uint8_t marker = jpeg[at + 1];
    if (marker == 0xD9) {
      end = at;
      break;
    }
    if (at + 3 >= jpeg.size()) return {};
    std::size_t next = at + 2 + (static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3]);
    if (marker == 0xDA) {
      lastScan = at;
      while (next + 1 < jpeg.size() &&
             !(jpeg[next] == 0xFF && jpeg[next + 1] != 0 && (jpeg[next + 1] < 0xD0 || jpeg[next + 1] > 0xD7))) {
        ++next;
      }
    }
    at = next;
  }
  if (lastScan == 0 || end == 0) return {};
  Bytes out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(end));
  for (int i = 0; i < extra; ++i) out.insert(out.end(), jpeg.begin() + lastScan, jpeg.begin() + end);
  out.insert(out.end(), jpeg.begin() + end, jpeg.end());
  return out;
}

Bytes Progressive(const std::string& size) {
  return Convert("-size " + size + " plasma:red-blue -seed 7 -interlace Plane -quality 90", "jpg");
}

// Every JPEG entry at one stream, every GIF entry at another.
Bytes PackOf(const Bytes& jpeg, const Bytes& gif) {
  PackWriter pack;
  const int jpegAt = pack.Append(jpeg), gifAt = pack.Append(gif);
  for (int k = 0; k < PackEntryCount; ++k) {
    const bool isJpeg = k < OverlayEntry && (k <= CardBackImage || k == TableImage);
    pack.SetEntry(k, isJpeg ? jpegAt : gifAt);
  }
  return pack.Data;
}

std::string LoadError(const Bytes& pack, std::vector<int>& stored) {
  TImageList koartn;
  return ErrorOf([&] { LoadGraphicsFrom(pack, "kolbet.dat", koartn, [&](int item) { stored.push_back(item); }); });
}

}  // namespace

// A small pack whose 34 photographs are one 4096 × 4096 JPEG and whose GIFs
// are one pixel on a 4096 × 4096 screen: each picture is allowed, their sum
// is not. Three cards (with the shared overlay beside them) fit in the
// budget, the fourth does not.
TEST(PackBounds, PicturesTogetherBeyondTheBudgetAreRefused) {
  const Bytes pack = PackOf(Convert("-size 4096x4096 xc:gray -quality 10", "jpg"), TinyGifOnScreen(4096, 4096));
  ASSERT_LT(pack.size(), 200'000u);
  std::vector<int> stored;
  EXPECT_EQ(LoadError(pack, stored), "Datei kolbet.dat ist zu groß: ihre Bilder haben mehr als 67108864 Pixel");
  EXPECT_EQ(stored, (std::vector<int>{0, 1, 2}));
}

// Cards whose own (unshared) overlays each declare a huge screen: an overlay
// is kept only as large as its card and given back once laid on it, so 33
// cards of 1024 × 1024 (33 Mi pixels, as many again in overlays over the
// whole pack) load.
TEST(PackBounds, OverlaysOnAHugeScreenCostOnlyTheirCard) {
  PackWriter writer;
  const int photo = writer.Append(Convert("-size 1024x1024 xc:white -quality 50", "jpg"));
  const int picture = writer.Append(Convert("-size 8x6 xc:green", "gif"));
  const Bytes overlay = TinyGifOnScreen(4096, 4096);
  for (int k = 0; k < PackEntryCount; ++k) {
    writer.SetEntry(k, k >= OverlayEntry ? writer.Append(overlay)
                       : k <= CardBackImage || k == TableImage ? photo
                                                               : picture);
  }
  TImageList koartn;
  ASSERT_EQ(ErrorOf([&] { LoadGraphicsFrom(writer.Data, "kolbet.dat", koartn); }), "(no error)");
  EXPECT_EQ(koartn[5].Width, 1024);
  EXPECT_EQ(koartn[5].Height, 1024);
  EXPECT_TRUE(Near(koartn[5].Pixels[0], 255, 0, 0));          // the overlay's painted pixel
  EXPECT_TRUE(Near(koartn[5].Pixels[1025], 255, 255, 255));   // the photograph under its screen
}

// One scan repeated 5000 times, or to 101 scans: refused once the scans pass
// the limit, while the same picture of 100 scans (far more than a real
// photograph has) decodes.
TEST(PackBounds, JpegScansAreBounded) {
  const Bytes jpeg = Progressive("64x48");
  int scans = 0;  // start-of-scan markers: a 0xFF in the coded data is always followed by 0
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) scans += jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA;
  ASSERT_GT(scans, 1);
  for (const int extra : {5000, 101 - scans}) {
    const Bytes repeated = RepeatLastScan(jpeg, extra);
    ASSERT_FALSE(repeated.empty());
    EXPECT_EQ(ErrorOf([&] { DecodeJpeg(repeated); }), "JPEG-Fehler: mehr als 100 Scans") << extra;
  }
  const TPicture many = DecodeJpeg(RepeatLastScan(jpeg, 100 - scans));
  EXPECT_EQ(many.Width, 64);
  EXPECT_EQ(many.Height, 48);
}

// The decoding work of a pack: every scan of a JPEG counts its pixels once.
// A budget of a few scans is spent inside the first picture; the pack's own
// budget stops a pack that points every photograph at a JPEG of many scans.
TEST(PackBounds, DecodingWorkIsBounded) {
  const Bytes jpeg = Progressive("64x48");
  TDecodeBudget tight("kolbet.dat", MaxPackPixels, 64LL * 48 * 3);
  EXPECT_EQ(ErrorOf([&] { DecodeJpeg(jpeg, &tight); }),
            "Datei kolbet.dat ist zu groß: ihre Bilder brauchen mehr als 9216 Pixel an Dekodierarbeit");
  // A GIF's image counts once, all of it, also where it is cut to a smaller
  // picture: 12 × 10 fit a budget of 120 pixels, not of 119.
  const Bytes gif = Convert("-size 12x10 xc:red", "gif");
  for (const long long work : {120LL, 119LL}) {
    TDecodeBudget budget("kolbet.dat", MaxPackPixels, work);
    EXPECT_EQ(ErrorOf([&] { DecodeGif(gif, &budget, 3, 2); }),
              work == 120 ? "(no error)"
                          : "Datei kolbet.dat ist zu groß: ihre Bilder brauchen mehr als 119 Pixel an Dekodierarbeit");
  }

  const Bytes heavy = RepeatLastScan(Progressive("1024x1024"), 85);
  std::vector<int> stored;
  EXPECT_EQ(LoadError(PackOf(heavy, Convert("-size 1x1 xc:red", "gif")), stored),
            "Datei kolbet.dat ist zu groß: ihre Bilder brauchen mehr als 268435456 Pixel an Dekodierarbeit");
  EXPECT_EQ(stored, (std::vector<int>{0, 1}));
}

// A pack one byte beyond 256 MiB is not read at all; one of 256 MiB is read
// and refused for its content (a table of zeros points at no JPEG).
TEST(PackBounds, TheFileIsBoundedAt256MiB) {
  const std::string path = FixtureDir() + "/huge-" + std::to_string(getpid()) + ".dat";
  const std::uintmax_t limit = std::uintmax_t{256} << 20;
  for (const auto& [size, read] : {std::pair{limit + 1, false}, {limit, true}}) {
    WriteFile(path, {});
    std::filesystem::resize_file(path, size);
    TImageList koartn;
    const std::string error = ErrorOf([&] { LoadGraphics(path, koartn); });
    EXPECT_EQ(error == "Datei " + path + " ist zu groß", !read) << error;
    EXPECT_EQ(error.rfind("JPEG-Fehler #", 0) == 0, read) << error;
  }
  std::filesystem::remove(path);
}
