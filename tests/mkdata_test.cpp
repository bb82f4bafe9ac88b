// The generator's writers checked against the game's own readers, and the
// generated files in the run folder checked for what the table relies on.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <cstring>
#include <tuple>
#include <gif_lib.h>

#include "assets/graphics_pack.h"
#include "assets/sound_bank_file.h"
#include "assets/wave.h"
#include "tools/mkdata/bank_items.h"
#include "tools/mkdata/bank_writer.h"
#include "tools/mkdata/card_faces.h"
#include "tools/mkdata/gif_encoder.h"
#include "tools/mkdata/music.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/tunes.h"
#include "tools/mkdata/voice.h"
#include "tools/mkdata/wave_writer.h"

namespace kolbet::mkdata {
namespace {

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

Bytes Tone(int samples) {
  Pcm16 pcm;
  for (int i = 0; i < samples; ++i) pcm.samples.push_back(static_cast<std::int16_t>((i % 50) * 100 - 2500));
  return WriteWave(pcm);
}

TEST(PackWriter, OffsetsPointAtEachStreamAndEqualStreamsShareOne) {
  std::array<Bytes, PackEntryCount> streams;
  for (int k = 0; k < PackEntryCount; ++k) streams[k] = {static_cast<std::uint8_t>(k), 0xAB, 0xCD};
  for (int k = 39; k < PackEntryCount; ++k) streams[k] = {'G', 'I', 'F', '8', '9', 'a'};
  const Bytes pack = WritePack(streams);
  for (int k = 0; k < PackEntryCount; ++k) {
    const std::uint32_t at = U32(pack, 4 * std::size_t(k));
    ASSERT_GE(at, 288u) << k;
    ASSERT_LE(at + streams[k].size(), pack.size()) << k;
    EXPECT_TRUE(std::equal(streams[k].begin(), streams[k].end(), pack.begin() + at)) << k;
  }
  EXPECT_EQ(U32(pack, std::size_t{4} * 39), U32(pack, std::size_t{4} * 71));
  EXPECT_EQ(pack.size(), 288u + 39 * 3 + 6);  // the shared overlay stored once

  streams[5].clear();
  EXPECT_THROW(WritePack(streams), std::runtime_error);
}

TEST(BankWriter, ResourceHeaderThenComponentStream) {
  const Bytes bank = WriteBank({BankItem{"A", false, 0, Tone(10)}});
  ASSERT_GE(bank.size(), 20u);
  EXPECT_EQ(bank[0], 0xFF);
  EXPECT_EQ(bank[1], 10);
  EXPECT_EQ(bank[2], 0);
  // The header is the name's length + 10 bytes; the stream follows.
  const std::size_t nameLength = std::strlen(reinterpret_cast<const char*>(&bank[3]));
  EXPECT_EQ(std::memcmp(&bank[nameLength + 10], "TPF0", 4), 0);
  EXPECT_EQ(U32(bank, nameLength + 6), bank.size() - (nameLength + 10));
}

TEST(BankWriter, GameReaderGetsEveryItemBack) {
  std::vector<BankItem> items;
  items.push_back({"Gria Sima", false, 2, Tone(100)});
  items.push_back({std::string(300, 'x'), true, 0, Tone(3)});       // a name too long for a short string
  items.push_back({ToWindows1252("Schölln"), false, 1000, Tone(7)});  // a count beyond one byte
  items.push_back({"big", false, 70000, Tone(1)});
  const Bytes bank = WriteBank(items);
  const std::vector<TBankEntry> read = ParseSoundBank(bank);
  ASSERT_EQ(read.size(), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(read[i].Name, items[i].name) << i;
    EXPECT_EQ(read[i].Looped, items[i].looped) << i;
    EXPECT_EQ(read[i].MaxPlayingCount, items[i].maxPlayingCount) << i;
    const TWave wave = ReadWave(items[i].wave);
    EXPECT_EQ(read[i].Wave.Data, wave.Data) << i;
    EXPECT_EQ(read[i].Wave.Format, wave.Format) << i;
  }
  EXPECT_EQ(read[2].Name, "Sch\xF6lln");
}

TEST(BankText, Windows1252) {
  EXPECT_EQ(ToWindows1252("Bscheißt bülle Hüüüühhh"), "Bschei\xDFt b\xFClle H\xFC\xFC\xFC\xFChhh");
  EXPECT_THROW(ToWindows1252("5 €"), std::runtime_error);
  EXPECT_THROW(ToWindows1252("\xC3"), std::runtime_error);  // cut off in the middle of a letter
}

TEST(WaveWriter, StreamedSpeechWithPlaceholderSizesIsReadToItsEnd) {
  Pcm16 pcm;
  pcm.samples = {1, -2, 300, -32768, 32767};
  Bytes wave = WriteWave(pcm);
  const TWave read = ReadWave(wave);
  const auto format = ParseWaveFormat(read.Format);
  ASSERT_TRUE(format);
  EXPECT_EQ(format->FormatTag, WaveFormatPcm);
  EXPECT_EQ(format->Channels, 1);
  EXPECT_EQ(format->SamplesPerSec, 22050u);
  EXPECT_EQ(format->BlockAlign, 2);
  EXPECT_EQ(format->BitsPerSample, 16);
  EXPECT_EQ(read.Data.size(), 10u);
  // A synthesiser writing to a pipe cannot know the sizes and puts large ones.
  for (std::size_t at : {std::size_t(4), std::size_t(40)})
    for (int i = 0; i < 4; ++i) wave[at + i] = i == 3 ? 0x7F : 0xFF;
  EXPECT_EQ(ReadPcm16Wave(wave).samples, pcm.samples);
  wave.resize(wave.size() - 1);  // half a sample at the end is dropped
  EXPECT_EQ(ReadPcm16Wave(wave).samples.size(), 4u);
  EXPECT_THROW(ReadPcm16Wave(Bytes{'R', 'I', 'F', 'F'}), std::runtime_error);
}

GifFileType* OpenGif(const Bytes& bytes, std::size_t& pos) {
  struct Source {
    const Bytes* bytes;
    std::size_t* pos;
  };
  static Source source;
  source = {&bytes, &pos};
  int error = 0;
  return DGifOpen(&source, [](GifFileType* gif, GifByteType* out, int n) {
    auto* s = static_cast<Source*>(gif->UserData);
    const int left = static_cast<int>(s->bytes->size() - *s->pos);
    n = std::min(n, left);
    std::memcpy(out, s->bytes->data() + *s->pos, n);
    *s->pos += n;
    return n;
  }, &error);
}

TEST(CardOverlay, BlueOutsideTheRoundedOutlineTransparentInside) {
  const Bytes gif = EncodeGif(CardOverlay());
  std::size_t pos = 0;
  GifFileType* file = OpenGif(gif, pos);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(DGifSlurp(file), GIF_OK);
  ASSERT_EQ(file->ImageCount, 1);
  GraphicsControlBlock control{};
  ASSERT_EQ(DGifSavedExtensionToGCB(file, 0, &control), GIF_OK);
  const int transparent = control.TransparentColor;
  ASSERT_GE(transparent, 0);
  const SavedImage& image = file->SavedImages[0];
  ASSERT_EQ(image.ImageDesc.Width, CardWidth);
  ASSERT_EQ(image.ImageDesc.Height, CardHeight);
  const ColorMapObject* map = file->SColorMap;
  auto at = [&](int x, int y) { return image.RasterBits[y * CardWidth + x]; };
  auto blue = [&](int x, int y) {
    const GifColorType c = map->Colors[at(x, y)];
    return at(x, y) != transparent && c.Red == 0 && c.Green == 0 && c.Blue == 255;
  };
  for (auto [x, y] : {std::pair{0, 0}, {CardWidth - 1, 0}, {0, CardHeight - 1}, {CardWidth - 1, CardHeight - 1},
                      {2, 2}, {CardWidth - 3, CardHeight - 3}})
    EXPECT_TRUE(blue(x, y)) << x << "," << y;
  // The straight edges and the middle stay the photograph's.
  for (auto [x, y] : {std::pair{CardWidth / 2, CardHeight / 2}, {0, CardHeight / 2}, {CardWidth / 2, 0},
                      {CardWidth - 1, CardHeight / 2}, {CardWidth / 2, CardHeight - 1}, {5, 5}})
    EXPECT_EQ(at(x, y), transparent) << x << "," << y;
  int error = 0;
  DGifCloseFile(file, &error);
}

TEST(ReduceColours, KeyStaysExactAndNothingElseBecomesIt) {
  QImage img(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) img.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
  for (int x = 0; x < 64; ++x) {
    img.setPixel(x, 10, KeyBlue);
    img.setPixel(x, 11, qRgb(0, 0, 254));  // close to the key, but not it
    img.setPixel(x, 12, qRgb(2, 1, 255));
  }
  const IndexedPicture reduced = ReduceColours(img, true);
  ASSERT_LE(reduced.palette.size(), 256u);
  auto colour = [&](int x, int y) { return reduced.palette[reduced.pixels[y * 64 + x]] | 0xFF000000; };
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(colour(x, y) == KeyBlue, y == 10) << x << "," << y;

  // Few colours are kept exactly.
  QImage flat(8, 8, QImage::Format_RGB32);
  flat.fill(qRgb(10, 20, 30));
  flat.setPixel(3, 3, qRgb(200, 100, 0));
  const IndexedPicture exact = ReduceColours(flat, false);
  EXPECT_EQ(exact.palette[exact.pixels[3 * 8 + 3]] | 0xFF000000, qRgb(200, 100, 0));
  EXPECT_EQ(exact.palette[exact.pixels[0]] | 0xFF000000, qRgb(10, 20, 30));
}

TEST(Music, LoopIsExactlyItsBarsAndBadBarsAreRefused) {
  Tune tune{67, 120, {{Chord::I, {{67, 6}}}, {Chord::V7, {{69, 2}, {0, 2}, {71, 2}}}}};
  const Pcm16 loop = RenderTune(tune, true);
  EXPECT_EQ(loop.samples.size(), static_cast<std::size_t>(2 * 1.5 * MusicRate));
  const Pcm16 piece = RenderTune(tune, false);
  EXPECT_GT(piece.samples.size(), loop.samples.size());
  int peak = 0;
  for (auto s : piece.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_GT(peak, 20000);
  EXPECT_LT(piece.samples.back(), 200);  // faded out at the end
  tune.bars[1].melody.push_back({72, 1});
  EXPECT_THROW(RenderTune(tune, true), std::invalid_argument);
}

TEST(Music, TheBankLoopJoinsWithoutAClick) {
  const Pcm16 loop = RenderTune(LandlerLoop(), true);
  int steepest = 0;
  for (std::size_t i = 1; i < loop.samples.size(); ++i)
    steepest = std::max(steepest, std::abs(loop.samples[i] - loop.samples[i - 1]));
  // Going from the last sample back to the first is no bigger a step than the
  // music makes anyway.
  EXPECT_LE(std::abs(loop.samples.front() - loop.samples.back()), steepest);
  EXPECT_GT(std::abs(static_cast<int>(loop.samples.front())), 0);  // the last notes ring on into the start
}

TEST(CardFaces, DeckElementsFollowTheSuitsAndRanks) {
  EXPECT_EQ(DeckElement(0).toStdString(), "7_spade");     // Gria Sima: leaves
  EXPECT_EQ(DeckElement(15).toStdString(), "1_club");     // Oachl Sau: acorns
  EXPECT_EQ(DeckElement(20).toStdString(), "jack_diamond");  // Schölln Unta: bells
  EXPECT_EQ(DeckElement(29).toStdString(), "queen_heart");   // Hirz Baua
  EXPECT_EQ(DeckElement(30).toStdString(), "king_heart");    // Hirz Kini
  try {
    RenderCards(Fonts{}, "/nonexistent/german.svgz");
    ADD_FAILURE() << "rendered without a deck";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("kdegames-card-data-kf5"), std::string::npos) << e.what();
  }
}

TEST(Speech, CleaningCutsSilenceAndEvensTheLevel) {
  Pcm16 raw;
  raw.samples.assign(SpeechRate, 0);
  for (int i = 0; i < SpeechRate / 2; ++i) raw.samples.push_back(static_cast<std::int16_t>(i % 2 ? 4000 : -4000));
  raw.samples.insert(raw.samples.end(), SpeechRate, 5);
  const Pcm16 clean = CleanSpeech(raw);
  EXPECT_NEAR(static_cast<double>(clean.samples.size()), SpeechRate * (0.5 + 0.06), SpeechRate * 0.01);
  int peak = 0;
  for (auto s : clean.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_GT(peak, 25000);
  EXPECT_EQ(clean.samples.front(), 0);
  EXPECT_TRUE(CleanSpeech(Pcm16{1, SpeechRate, std::vector<std::int16_t>(500, 0)}).samples.empty());
}

TEST(Speech, SpokenInTheBankFormat) {
  const std::vector<Pcm16> said = Speak({"Hirz Kini", "Soch [[tf'Orp]] oh"});
  ASSERT_EQ(said.size(), 2u);
  for (const Pcm16& s : said) {
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.rate, 22050);
    EXPECT_GT(s.samples.size(), SpeechRate * 3u / 10);
    EXPECT_LT(s.samples.size(), SpeechRate * 3u);
  }
}

// The files `make` put into the run folder, read with the game's readers.
TEST(GeneratedFiles, CardsHaveNoHolesAndKeyedCorners) {
  TImageList koartn;
  int last = -1;
  LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", koartn, [&](int item) { last = item; });
  EXPECT_EQ(last, 38);
  for (int i = 0; i <= CardBackImage; ++i) {
    const TPicture& card = koartn[i];
    ASSERT_EQ(card.Width, CardWidth);
    ASSERT_EQ(card.Height, CardHeight);
    int holes = 0;
    for (int y = 0; y < card.Height; ++y)
      for (int x = 0; x < card.Width; ++x) {
        const bool key = card.At(x, y) == KeyColour;
        if (InsideCardOutline(x, y) == key) ++holes;
      }
    EXPECT_EQ(holes, 0) << "card " << i;
  }
  EXPECT_EQ(koartn[TitleImage].Width, 640);
  EXPECT_EQ(koartn[TitleImage].Height, 480);
  EXPECT_EQ(koartn[TableImage].Width, 640);
  EXPECT_EQ(koartn[TableImage].Height, 480);
  // Picture 37 lies at (303, 17) over the opponent's fanned backs, which reach
  // down to about y 110 between x 285 and 460: it must leave them visible.
  const TPicture& small = koartn[SmallImage];
  for (int y = 0; y < std::min(small.Height, 110 - 17); ++y)
    for (int x = 0; x < std::min(small.Width, 460 - 303); ++x)
      ASSERT_EQ(small.At(x, y), KeyColour) << x << "," << y;
}

// The back is the game's own: it differs clearly from the deck's back drawn
// where the faces' art goes, and it shows white and light-blue lozenges.
TEST(GeneratedFiles, CardBackIsNotTheDecksBack) {
  TImageList k;
  LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", k);
  const TPicture& back = k[CardBackImage];
  QSvgRenderer deck{QString(DeckFile)};
  ASSERT_TRUE(deck.elementExists("back"));
  const QRectF bounds = deck.boundsOnElement("back");
  const double w = CardWidth - 12, h = std::round(w * bounds.height() / bounds.width());
  const QRectF art(6, std::round((CardHeight - h) / 2), w, h);
  QImage theirs(CardWidth, CardHeight, QImage::Format_RGB32);
  theirs.fill(Qt::white);
  {
    QPainter p(&theirs);
    deck.render(&p, "back", art);
  }
  double difference = 0;
  int pixels = 0, white = 0, lightBlue = 0;
  for (int y = static_cast<int>(art.top()); y < art.bottom(); ++y)
    for (int x = static_cast<int>(art.left()); x < art.right(); ++x) {
      const std::uint32_t ours = back.At(x, y);
      const QRgb c = theirs.pixel(x, y);
      const int r = (ours >> 16) & 255, g = (ours >> 8) & 255, b = ours & 255;
      difference += std::abs(r - qRed(c)) + std::abs(g - qGreen(c)) + std::abs(b - qBlue(c));
      ++pixels;
      white += r > 235 && g > 235 && b > 235;
      lightBlue += b > 200 && r > 110 && r < 170 && g > 160 && g < 210;
    }
  EXPECT_GT(difference / pixels, 60);
  EXPECT_GT(white, pixels / 4);
  EXPECT_GT(lightBlue, pixels / 4);
}

// Luminance of the table at (x, y) with the keyed picture `item` laid at
// (0, top) over the background.
double Light(const TImageList& k, int item, int top, int x, int y) {
  std::uint32_t c = k[TableImage].At(x, y);
  const TPicture& over = k[item];
  if (x < over.Width && y >= top && y - top < over.Height && over.At(x, y - top) != KeyColour)
    c = over.At(x, y - top);
  return 0.3 * ((c >> 16) & 255) + 0.59 * ((c >> 8) & 255) + 0.11 * (c & 255);
}

TEST(GeneratedFiles, ScoresSitOnALightGroundAndTheHandStaysUncovered) {
  TImageList k;
  LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", k);
  // The red points and tricks are written at the left edge, top and bottom:
  // the pictures there give them a light ground.
  const int underTop = 480 - k[LeftEdgeUnderImage].Height, overTop = 480 - k[LeftEdgeOverImage].Height;
  for (auto [item, top, y0] : {std::tuple{LeftEdgeUnderImage, underTop, 4}, {LeftEdgeOverImage, overTop, 424}}) {
    double sum = 0;
    for (int y = y0; y < y0 + 48; ++y)
      for (int x = 0; x < 30; ++x) sum += Light(k, item, top, x, y);
    EXPECT_GT(sum / (48 * 30), 170) << item;
  }
  // The picture laid over the cards at the left keeps out of the hand's hit
  // regions (slot 0's region is the leftmost and reaches down to y 470).
  const int region[6][2] = {{94, 470}, {13, 306}, {149, 243}, {278, 479}, {221, 479}, {94, 470}};
  auto inSlot0 = [&](int x, int y) {
    for (int i = 0; i < 5; ++i) {
      // Right of every clockwise edge (y grows downwards).
      const int ax = region[i][0], ay = region[i][1], bx = region[i + 1][0], by = region[i + 1][1];
      if ((bx - ax) * (y - ay) - (by - ay) * (x - ax) <= 0) return false;
    }
    return true;
  };
  ASSERT_TRUE(inSlot0(100, 469));
  ASSERT_FALSE(inSlot0(40, 450));
  const TPicture& over = k[LeftEdgeOverImage];
  for (int y = 0; y < over.Height; ++y)
    for (int x = 0; x < over.Width; ++x) {
      if (over.At(x, y) == KeyColour) continue;
      ASSERT_FALSE(inSlot0(x, y + overTop)) << x << "," << y + overTop;
    }
}

// The companion pack holds the same 39 pictures at four times the width and
// height: each, shrunk back by averaging 4 x 4 blocks, is close to its
// counterpart, and its pure blue lies where the counterpart's does, a 4 x 4
// block for every blue pixel, give or take the antialiased edge around it,
// and nowhere else. The bounds are about 1.4 times the differences measured
// (cards up to 7.2, the other pictures up to 3.4 of 255).
TEST(GeneratedFiles, CompanionPackIsThePackAtFourTimesTheSize) {
  constexpr int K = 4;
  TImageList small, large;
  LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", small);
  LoadGraphics(KOLBET_RUN_DIR "/kolbet-hd.dat", large);
  for (int item = 0; item < ImageCount; ++item) {
    const TPicture& a = small[item];
    const TPicture& b = large[item];
    ASSERT_FALSE(a.Empty()) << item;
    ASSERT_EQ(b.Width, K * a.Width) << item;
    ASSERT_EQ(b.Height, K * a.Height) << item;
    // Beyond the picture's edge counts as blue: the card's keyed corners
    // reach it.
    auto key = [&](int x, int y) {
      return x < 0 || y < 0 || x >= a.Width || y >= a.Height || a.At(x, y) == KeyColour;
    };
    double difference = 0;
    int keys = 0, keyLost = 0, keyGained = 0, strayBlue = 0;
    for (int y = 0; y < a.Height; ++y)
      for (int x = 0; x < a.Width; ++x) {
        int sum[3] = {0, 0, 0}, blue = 0;
        for (int v = 0; v < K; ++v)
          for (int u = 0; u < K; ++u) {
            const std::uint32_t c = b.At(K * x + u, K * y + v);
            for (int ch = 0; ch < 3; ++ch) sum[ch] += (c >> (8 * ch)) & 255;
            blue += c == KeyColour;
          }
        const std::uint32_t c = a.At(x, y);
        for (int ch = 0; ch < 3; ++ch) difference += std::abs(sum[ch] / double(K * K) - ((c >> (8 * ch)) & 255));
        keys += key(x, y);
        keyLost += key(x, y) && blue == 0;
        keyGained += !key(x, y) && blue == K * K;
        // Blue away from every blue pixel of the counterpart and its neighbours.
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) near = near || key(x + dx, y + dy);
        strayBlue += !near && blue > 0;
      }
    EXPECT_LT(difference / (3.0 * a.Width * a.Height), item <= CardBackImage ? 10 : 5) << item;
    EXPECT_LE(keyLost + keyGained, keys / 100) << item;
    EXPECT_EQ(strayBlue, 0) << item;
  }
}

TEST(GeneratedFiles, BankHoldsAWaveForEveryItem) {
  const std::vector<TBankEntry> bank = ParseSoundBank(ReadFileBytes(KOLBET_RUN_DIR "/Kolbet.snd"));
  ASSERT_GE(bank.size(), 78u);
  for (std::size_t i = 0; i < bank.size(); ++i) {
    EXPECT_FALSE(bank[i].Wave.Empty()) << i;
    EXPECT_EQ(bank[i].Looped, i == 57) << i;
    EXPECT_EQ(bank[i].MaxPlayingCount, i < 32 ? 2 : 0) << i;
  }
  EXPECT_EQ(bank[30].Name, "Hirz Kini");
  EXPECT_EQ(bank[77].Name, "Trumpf oder Narrisch");
}

}  // namespace
}  // namespace kolbet::mkdata

int main(int argc, char** argv) {
  // Colour reduction and speech use Qt; it runs without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
