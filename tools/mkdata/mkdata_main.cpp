// kolbet-mkdata DIR: writes the game's data files into DIR: the graphics pack
// kolbet.dat, its companion kolbet-hd.dat (the same pictures painted at four
// times the width and height, for large screens), the sound bank Kolbet.snd
// and the music files *.kbm.
// kolbet-mkdata --icons DIR: writes the program's icon for the desktop into
// DIR/NxN/apps/brivlo-kolbet.png, in the sizes of the hicolor icon theme, the
// same picture for its music files as DIR/NxN/mimetypes/audio-x-kolbet-musi.png
// and their MIME entry as DIR/brivlo-kolbet.xml.
// kolbet-mkdata --references DIR: writes the card faces and the title painted
// at five times the pack's size, for measuring what the screen shows.

#include <QBuffer>
#include <QGuiApplication>
#include <array>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "assets/mug_art.h"
#include "platform/mime_registration.h"
#include "rules/cards.h"
#include "rules/sound_items.h"
#include "tools/mkdata/bank_items.h"
#include "tools/mkdata/bank_writer.h"
#include "tools/mkdata/card_faces.h"
#include "tools/mkdata/fonts.h"
#include "tools/mkdata/gif_encoder.h"
#include "tools/mkdata/jpeg_encoder.h"
#include "tools/mkdata/output_file.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/table_pictures.h"
#include "tools/mkdata/tunes.h"
#include "tools/mkdata/voice.h"
#include "tools/mkdata/wave_writer.h"

namespace kolbet::mkdata {
namespace {

constexpr int CardQuality = 90;
constexpr int TableQuality = 88;
// The companion pack's pictures are this many times as wide and high.
constexpr int HdScale = 4;

// The graphics pack with every picture painted `scale` times as wide and high.
Bytes MakePack(const Fonts& fonts, int scale) {
  const std::vector<QImage> cards = RenderCards(fonts, DeckFile, scale);
  const TablePictures t = DrawTablePictures(fonts, cards, scale);
  std::array<Bytes, PackEntryCount> streams;
  const Bytes overlay = EncodeGif(CardOverlay(scale));
  for (int i = 0; i <= CardBackImage; ++i) {
    streams[i] = EncodeJpeg(cards[i], CardQuality);
    streams[OverlayEntry + i] = overlay;
  }
  streams[TitleImage] = EncodeGif(ReduceColours(t.title, false));
  streams[TableImage] = EncodeJpeg(t.table, TableQuality);
  streams[LeftEdgeUnderImage] = EncodeGif(ReduceColours(t.leftBefore, true));
  streams[LeftEdgeOverImage] = EncodeGif(ReduceColours(t.leftAfter, true));
  streams[SmallImage] = EncodeGif(ReduceColours(t.small, true));
  streams[WaitingImage] = EncodeGif(ReduceColours(t.waiting, false));
  return WritePack(streams);
}

Bytes MakeBank() {
  const std::vector<ItemPlan> plan = PlanBankItems();
  std::vector<std::string> texts;
  std::vector<int> spoken;
  for (int i = 0; i < static_cast<int>(plan.size()); ++i)
    if (!plan[i].speech.empty()) {
      texts.push_back(plan[i].speech);
      spoken.push_back(i);
    }
  const std::vector<Pcm16> speech = Speak(texts);
  std::vector<BankItem> items(plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i) {
    items[i].name = ToWindows1252(plan[i].name);
    items[i].looped = plan[i].looped;
    items[i].maxPlayingCount = plan[i].maxPlayingCount;
  }
  for (std::size_t k = 0; k < spoken.size(); ++k) items[spoken[k]].wave = WriteWave(speech[k]);
  items[ItemMusic].wave = WriteWave(RenderTune(LandlerLoop(), true));
  return WriteBank(items);
}

int Run(const std::string& dir) {
  MakeFolder(dir);
  const Fonts fonts = LoadFonts();
  // Everything is made before the first file is written, so a failure leaves
  // the folder as it was. The bank comes first: without the speech
  // synthesiser the run fails before the pictures' many seconds.
  const Bytes bank = MakeBank();
  const Bytes pack = MakePack(fonts, 1);
  const Bytes hdPack = MakePack(fonts, HdScale);
  const Bytes landler = WriteWave(RenderTune(Landler(), false));
  const Bytes walzer = WriteWave(RenderTune(Wirtshauswalzer(), false));
  WriteFileAtomically(dir + "/kolbet.dat", pack);
  WriteFileAtomically(dir + "/kolbet-hd.dat", hdPack);
  WriteFileAtomically(dir + "/Kolbet.snd", bank);
  WriteFileAtomically(dir + "/Landler.kbm", landler);
  WriteFileAtomically(dir + "/Wirtshauswalzer.kbm", walzer);
  return 0;
}

// The pictures a screenshot's sharpness is measured against: the 32 card
// faces and the title, painted from their sources at five times the pack's
// size (larger than any screen draws them), as DIR/card-N.png and
// DIR/title.png.
constexpr int ReferenceScale = 5;

int RunReferences(const std::string& dir) {
  MakeFolder(dir);
  const Fonts fonts = LoadFonts();
  const std::vector<QImage> cards = RenderCards(fonts, DeckFile, ReferenceScale);
  const TablePictures t = DrawTablePictures(fonts, cards, ReferenceScale);
  auto save = [&](const QImage& picture, const std::string& name) {
    if (!picture.save(QString::fromStdString(dir + "/" + name), "PNG"))
      throw std::runtime_error("cannot write " + dir + "/" + name);
  };
  for (int card = 0; card < CardCount; ++card) save(cards[card], "card-" + std::to_string(card) + ".png");
  save(t.title, "title.png");
  return 0;
}

constexpr std::array<int, 7> IconSizes = {16, 24, 32, 48, 64, 128, 256};

int RunIcons(const std::string& dir) {
  std::vector<std::pair<std::string, Bytes>> files;
  for (int size : IconSizes) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!MugIcon(size).save(&buffer, "PNG")) throw std::runtime_error("cannot encode the icon as PNG");
    const std::string folder = dir + "/" + std::to_string(size) + "x" + std::to_string(size);
    files.emplace_back(folder + "/apps/brivlo-kolbet.png", Bytes(png.begin(), png.end()));
    files.emplace_back(folder + "/mimetypes/audio-x-kolbet-musi.png", Bytes(png.begin(), png.end()));
  }
  // The music files' type, as the game registers it for a user.
  const std::string entry(KbmMimeEntry);
  files.emplace_back(dir + "/brivlo-kolbet.xml", Bytes(entry.begin(), entry.end()));
  for (const auto& [file, bytes] : files) {
    MakeFolder(file.substr(0, file.rfind('/')));
    WriteFileAtomically(file, bytes);
  }
  return 0;
}

// Qt's own notes go to standard error, except the offscreen platform's remark
// about a missing XDG_RUNTIME_DIR, which the generator never uses.
void PassQtMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith("QStandardPaths:")) return;
  std::fprintf(stderr, "kolbet-mkdata: %s\n", qPrintable(text));
}

}  // namespace
}  // namespace kolbet::mkdata

int main(int argc, char** argv) {
  const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
  const bool references = argc == 3 && std::string(argv[1]) == "--references";
  const char* dir = argv[argc - 1];
  if ((argc != 2 && !icons && !references) || dir[0] == '-') {
    std::fprintf(stderr, "usage: kolbet-mkdata DIR\n"
                         "writes kolbet.dat, kolbet-hd.dat (its pictures at four times the size),\n"
                         "Kolbet.snd and the music files *.kbm into DIR\n"
                         "       kolbet-mkdata --icons DIR\n"
                         "writes the program's icon as DIR/NxN/apps/brivlo-kolbet.png, the music\n"
                         "files' as DIR/NxN/mimetypes/audio-x-kolbet-musi.png, and their MIME entry\n"
                         "as DIR/brivlo-kolbet.xml\n"
                         "       kolbet-mkdata --references DIR\n"
                         "writes the card faces and the title at five times the pack's size as PNG\n");
    return 2;
  }
  // Pictures are painted off screen; no display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(kolbet::mkdata::PassQtMessage);
  QGuiApplication app(argc, argv);
  try {
    if (references) return kolbet::mkdata::RunReferences(dir);
    return icons ? kolbet::mkdata::RunIcons(dir) : kolbet::mkdata::Run(dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kolbet-mkdata: %s\n", e.what());
    return 1;
  }
}
