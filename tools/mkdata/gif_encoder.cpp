#include "tools/mkdata/gif_encoder.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <map>
#include <stdexcept>
#include <string>

#include <gif_lib.h>

namespace kolbet::mkdata {
namespace {

int AppendToBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

void Check(int status, GifFileType* gif, const char* step) {
  if (status == GIF_OK) return;
  const int code = gif->Error;
  int ignored = 0;
  EGifCloseFile(gif, &ignored);
  const char* text = GifErrorString(code);
  throw std::runtime_error(std::string("GIF encoding failed at ") + step + ": " + (text ? text : "?"));
}

// Nearest palette entry by squared distance, searching entries [0, count).
int Nearest(const std::vector<QRgb>& palette, int count, int r, int g, int b) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < count; ++i) {
    const long dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
    const long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

// A box of histogram cells for the median cut.
struct Cell {
  std::uint8_t c[3];
  std::uint32_t count;
};

struct Box {
  std::size_t begin, end;
  double error;  // summed squared distance of the box's pixels from their mean
  int axis;      // the channel with the widest spread
};

Box Measure(const std::vector<Cell>& cells, std::size_t begin, std::size_t end) {
  double n = 0, sum[3] = {0, 0, 0}, sq[3] = {0, 0, 0};
  for (std::size_t i = begin; i < end; ++i)
    for (int k = 0; k < 3; ++k) {
      sum[k] += double(cells[i].c[k]) * cells[i].count;
      sq[k] += double(cells[i].c[k]) * cells[i].c[k] * cells[i].count;
    }
  for (std::size_t i = begin; i < end; ++i) n += cells[i].count;
  Box box{begin, end, 0, 0};
  double widest = -1;
  for (int k = 0; k < 3; ++k) {
    const double var = sq[k] - sum[k] * sum[k] / n;
    box.error += var;
    if (var > widest) widest = var, box.axis = k;
  }
  if (end - begin < 2) box.error = 0;
  return box;
}

// Picks up to `size` colours for the pixels that are not the key: the pixels
// are counted in cells of 6 bits a channel, and the box of cells with the
// largest squared error is split at its median until there are enough boxes.
// Small areas of a distinct colour (white cards on dark wood) keep colours of
// their own this way.
template <class IsKey>
std::vector<QRgb> MedianCut(const QImage& img, IsKey isKey, int size) {
  std::vector<std::uint32_t> histogram(1 << 18, 0);
  for (int y = 0; y < img.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if (!isKey(line[x]))
        ++histogram[((qRed(line[x]) >> 2) << 12) | ((qGreen(line[x]) >> 2) << 6) | (qBlue(line[x]) >> 2)];
  }
  std::vector<Cell> cells;
  for (std::uint32_t i = 0; i < histogram.size(); ++i)
    if (histogram[i])
      cells.push_back({{static_cast<std::uint8_t>(((i >> 12) << 2) | 2), static_cast<std::uint8_t>((((i >> 6) & 63) << 2) | 2),
                        static_cast<std::uint8_t>(((i & 63) << 2) | 2)},
                       histogram[i]});
  std::vector<Box> boxes;
  if (!cells.empty()) boxes.push_back(Measure(cells, 0, cells.size()));
  while (static_cast<int>(boxes.size()) < size) {
    auto worst = std::max_element(boxes.begin(), boxes.end(),
                                  [](const Box& a, const Box& b) { return a.error < b.error; });
    if (worst->error <= 0) break;
    const Box box = *worst;
    const int axis = box.axis;
    std::stable_sort(cells.begin() + box.begin, cells.begin() + box.end, [axis](const Cell& a, const Cell& b) {
      return a.c[axis] < b.c[axis];
    });
    double total = 0, run = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) total += cells[i].count;
    std::size_t cut = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
      run += cells[i].count;
      cut = i + 1;
      if (run >= total / 2) break;
    }
    *worst = Measure(cells, box.begin, cut);
    boxes.push_back(Measure(cells, cut, box.end));
  }
  std::vector<QRgb> palette;
  for (const Box& box : boxes) {
    double n = 0, sum[3] = {0, 0, 0};
    for (std::size_t i = box.begin; i < box.end; ++i) {
      n += cells[i].count;
      for (int k = 0; k < 3; ++k) sum[k] += double(cells[i].c[k]) * cells[i].count;
    }
    palette.push_back(qRgb(static_cast<int>(std::lround(sum[0] / n)), static_cast<int>(std::lround(sum[1] / n)),
                           static_cast<int>(std::lround(sum[2] / n))));
  }
  return palette;
}

}  // namespace

IndexedPicture ReduceColours(const QImage& source, bool keepKey) {
  const QImage img = source.convertToFormat(QImage::Format_RGB32);
  IndexedPicture out;
  out.width = img.width();
  out.height = img.height();
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
  auto isKey = [&](QRgb c) { return keepKey && (c | 0xFF000000) == KeyBlue; };
  const int room = keepKey ? 255 : 256;  // the key takes the last entry

  // Few colours: keep them all, in a fixed (sorted) order.
  std::map<QRgb, int> exact;
  for (int y = 0; y < out.height && static_cast<int>(exact.size()) <= room; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < out.width; ++x)
      if (!isKey(line[x])) exact.emplace(line[x] | 0xFF000000, 0);
  }
  const int keyIndex = keepKey ? 255 : -1;
  if (static_cast<int>(exact.size()) <= room) {
    for (auto& [colour, index] : exact) {
      index = static_cast<int>(out.palette.size());
      out.palette.push_back(colour);
    }
    if (keepKey) {
      out.palette.resize(256, 0xFF000000);
      out.palette[255] = KeyBlue;
    }
    for (int y = 0; y < out.height; ++y) {
      const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < out.width; ++x)
        out.pixels[static_cast<std::size_t>(y) * out.width + x] =
            static_cast<std::uint8_t>(isKey(line[x]) ? keyIndex : exact[line[x] | 0xFF000000]);
    }
    return out;
  }

  // Many colours: median cut over the non-key pixels, then Floyd-Steinberg.
  const std::vector<QRgb> chosen = MedianCut(img, isKey, room);
  for (QRgb c : chosen) out.palette.push_back(keepKey && c == KeyBlue ? qRgb(0, 0, 254) : c);
  const int mapSize = static_cast<int>(chosen.size());
  const int usable = mapSize;
  out.palette.resize(256, 0xFF000000);
  if (keepKey) out.palette[255] = KeyBlue;

  // The nearest entry of each colour asked for, found once: a large picture
  // asks for the same colours again and again.
  std::vector<std::int16_t> nearest(std::size_t{1} << 24, -1);
  const std::size_t errSize = 3 * static_cast<std::size_t>(out.width + 2);
  std::vector<int> errNow(errSize), errNext(errSize);
  for (int y = 0; y < out.height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    std::fill(errNext.begin(), errNext.end(), 0);
    for (int x = 0; x < out.width; ++x) {
      std::uint8_t& px = out.pixels[static_cast<std::size_t>(y) * out.width + x];
      if (isKey(line[x])) {
        px = static_cast<std::uint8_t>(keyIndex);
        continue;  // the key neither takes nor spreads error
      }
      int want[3] = {qRed(line[x]), qGreen(line[x]), qBlue(line[x])};
      for (int c = 0; c < 3; ++c) want[c] = std::clamp(want[c] + errNow[3 * (x + 1) + c] / 16, 0, 255);
      std::int16_t& known = nearest[(static_cast<std::size_t>(want[0]) << 16) | (want[1] << 8) | want[2]];
      if (known < 0) known = static_cast<std::int16_t>(Nearest(out.palette, usable, want[0], want[1], want[2]));
      const int index = known;
      px = static_cast<std::uint8_t>(index);
      const int got[3] = {qRed(out.palette[index]), qGreen(out.palette[index]), qBlue(out.palette[index])};
      for (int c = 0; c < 3; ++c) {
        const int e = want[c] - got[c];
        errNow[3 * (x + 2) + c] += e * 7;
        errNext[3 * x + c] += e * 3;
        errNext[3 * (x + 1) + c] += e * 5;
        errNext[3 * (x + 2) + c] += e;
      }
    }
    std::swap(errNow, errNext);
  }
  return out;
}

Bytes EncodeGif(const IndexedPicture& picture) {
  if (picture.palette.empty() || picture.palette.size() > 256)
    throw std::runtime_error("GIF palette must have 1 to 256 colours");
  if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height)
    throw std::runtime_error("GIF picture has the wrong number of pixels");
  int mapSize = 2;
  while (mapSize < static_cast<int>(picture.palette.size())) mapSize *= 2;
  std::vector<GifColorType> colours(mapSize);
  for (std::size_t i = 0; i < picture.palette.size(); ++i)
    colours[i] = {static_cast<GifByteType>(qRed(picture.palette[i])),
                  static_cast<GifByteType>(qGreen(picture.palette[i])),
                  static_cast<GifByteType>(qBlue(picture.palette[i]))};

  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendToBytes, &error);
  if (!gif) throw std::runtime_error("GIF encoder could not start");
  ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
  if (!map) {
    EGifCloseFile(gif, &error);
    throw std::runtime_error("GIF encoder out of memory");
  }
  const bool transparent = picture.transparent >= 0;
  EGifSetGifVersion(gif, transparent);
  const int status = EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map);
  GifFreeMapObject(map);
  Check(status, gif, "screen");
  if (transparent) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.UserInputFlag = false;
    control.DelayTime = 0;
    control.TransparentColor = picture.transparent;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension), gif,
          "control block");
  }
  Check(EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr), gif, "image");
  std::vector<GifPixelType> row(picture.width);
  for (int y = 0; y < picture.height; ++y) {
    std::copy_n(picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width, picture.width,
                row.begin());
    Check(EGifPutLine(gif, row.data(), picture.width), gif, "pixels");
  }
  if (EGifCloseFile(gif, &error) != GIF_OK) throw std::runtime_error("GIF encoder could not finish");
  return out;
}

}  // namespace kolbet::mkdata
