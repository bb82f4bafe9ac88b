// kolbet-render: draws one scene of the table the way the frame handler does,
// on a fresh black 640 × 480 surface at 16 bits per pixel, and writes it as PNG.
// No panels are drawn and no display is needed.

#include <QGuiApplication>
#include <charconv>
#include <cstdio>
#include <exception>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "assets/data_error.h"
#include "assets/graphics_pack.h"
#include "game/table_state.h"
#include "platform/qt_draw_surface.h"

namespace {

const char* const Usage =
    "usage: kolbet-render --pack FILE --phase N [--state STATE] --out FILE.png\n"
    "  --pack FILE   the graphics pack (kolbet.dat)\n"
    "  --phase N     the phase 1..12 whose scene is drawn; 5 the title, 7 the waiting screen\n"
    "  --state STATE the table, needed for every phase but 5 and 7, as kolbet-sim prints it\n"
    "                after the phase: \"ANNOUNCED P H0 H1 H2 H3 H4 TRICK TRICKS POINTS\n"
    "                O H0 H1 H2 H3 H4 TRICK TRICKS POINTS\" (cards -1..31, -1 no card;\n"
    "                tricks 0..5; points 0 or more)\n"
    "  --out FILE    the PNG file written\n";

int Fail(const char* what, std::string_view value) {
  std::fprintf(stderr, "kolbet-render: %s: '%.*s'\n%s", what, static_cast<int>(value.size()),
               value.data(), Usage);
  return 2;
}

bool ParseNumber(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool IsCardOrNone(int value) { return value >= -1 && value <= 31; }

// One seat after its letter: five hand slots, the trick card, tricks, points.
bool ParseSeat(const std::vector<std::string>& words, std::size_t& at, char letter, kolbet::TSeat& seat) {
  if (at + 9 > words.size() || words[at] != std::string(1, letter)) return false;
  ++at;
  int values[8];
  for (int& value : values)
    if (!ParseNumber(words[at++], value)) return false;
  for (int i = 0; i < 5; ++i) {
    if (!IsCardOrNone(values[i])) return false;
    seat.Hand[i] = values[i];
  }
  seat.TrickCard = values[5];
  seat.Tricks = values[6];
  seat.Points = values[7];
  return IsCardOrNone(seat.TrickCard) && seat.Tricks >= 0 && seat.Tricks <= 5 && seat.Points >= 0;
}

// The state as kolbet-sim's state lines give it, without the leading phase.
bool ParseState(std::string_view text, kolbet::TTable& table) {
  std::istringstream in{std::string(text)};
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  std::size_t at = 0;
  if (words.empty() || !ParseNumber(words[at++], table.AnnouncedCard) || !IsCardOrNone(table.AnnouncedCard))
    return false;
  return ParseSeat(words, at, 'P', table.PlayerSeat) && ParseSeat(words, at, 'O', table.OpponentSeat) &&
         at == words.size();
}

// Qt's own notes go to standard error, except the offscreen platform's remark
// about a missing XDG_RUNTIME_DIR, which is of no use here.
void PassQtMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith("QStandardPaths:")) return;
  std::fprintf(stderr, "kolbet-render: %s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
  std::string pack, out;
  std::optional<std::string> state;
  kolbet::TTable table;
  bool phaseGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      std::fputs(Usage, stdout);
      return 0;
    }
    if (option != "--pack" && option != "--phase" && option != "--state" && option != "--out")
      return Fail("unknown option", option);
    if (i + 1 >= argc) return Fail("option needs a value", option);
    const std::string_view value = argv[++i];
    if (option == "--pack") {
      pack = value;
    } else if (option == "--out") {
      out = value;
    } else if (option == "--state") {
      state = value;
    } else {
      if (!ParseNumber(value, table.Phase) || table.Phase < 1 || table.Phase > 12)
        return Fail("phase must be a number from 1 to 12", value);
      phaseGiven = true;
    }
  }
  if (pack.empty()) return Fail("missing option", "--pack");
  if (out.empty()) return Fail("missing option", "--out");
  if (!phaseGiven) return Fail("missing option", "--phase");
  const bool tableScene = table.Phase != kolbet::PhaseTitle && table.Phase != kolbet::PhaseWaitPeer;
  if (tableScene && !state) return Fail("the table scene needs", "--state");
  if (state && !ParseState(*state, table)) return Fail("state does not parse", *state);

  // Painted off screen; the application object is there for the fonts.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(PassQtMessage);
  QGuiApplication app(argc, argv);

  kolbet::TImageList koartn;
  try {
    kolbet::LoadGraphics(pack, koartn);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kolbet-render: %s\n", error.what());
    return 1;
  }
  kolbet::QtDrawSurface surface(koartn);
  surface.Start(1, QImage::Format_RGB16);
  surface.Draw(table);
  if (!surface.Image().save(QString::fromLocal8Bit(out.c_str()), "PNG")) {
    std::fprintf(stderr, "kolbet-render: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
