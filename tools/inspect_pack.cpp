// kolbet-inspect --pack FILE [--png DIR]: loads a graphics pack with the game's
// own reader and lists its pictures; with a folder, writes each as I.png.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include <QDir>
#include <QImage>
#include <QString>

#include "assets/graphics_pack.h"
#include "tools/inspect.h"

namespace kolbet {

namespace {

QImage ToImage(const TPicture& picture) {
  QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
  for (int y = 0; y < picture.Height; ++y) {
    std::memcpy(image.scanLine(y), picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width,
                static_cast<std::size_t>(picture.Width) * 4);
  }
  return image;
}

}  // namespace

int InspectPack(const std::string& file, const std::string& pngDir) {
  TImageList koartn;
  try {
    LoadGraphics(file, koartn);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  if (!pngDir.empty() && !QDir().mkpath(QString::fromStdString(pngDir))) {
    std::fprintf(stderr, "Ordner %s kann nicht angelegt werden\n", pngDir.c_str());
    return 1;
  }
  for (int i = 0; i < ImageCount; ++i) {
    const TPicture& picture = koartn[i];
    std::printf("picture %d %dx%d\n", i, picture.Width, picture.Height);
    if (pngDir.empty()) continue;
    const std::string name = pngDir + "/" + std::to_string(i) + ".png";
    if (!ToImage(picture).save(QString::fromStdString(name), "PNG")) {
      std::fprintf(stderr, "Datei %s kann nicht geschrieben werden\n", name.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace kolbet
