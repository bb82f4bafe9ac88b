// brivlo-kolbet: the game. Creates the loading window and the main window,
// then runs the event loop until the main window closes.

#include <malloc.h>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "assets/graphics_pack.h"
#include "assets/load_pics_form.h"
#include "game/main_form.h"
#include "platform/application.h"
#include "platform/command_line.h"
#include "platform/data_folder.h"

namespace {

// Qt's own notes go to standard error as usual, except the remark about a
// missing XDG_RUNTIME_DIR, a folder the game never uses.
void PassQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith("QStandardPaths:")) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

int main(int argc, char** argv) {
  if (kolbet::AnswerInformationSwitch(argc, argv, stdout)) return 0;
  // Pictures come and go as the table changes; each large one gets memory of
  // its own from the system and gives it back when it goes. Left to itself
  // the allocator raises this threshold after the first large picture is
  // freed and then keeps the freed memory, so the program would grow.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  qInstallMessageHandler(PassQtMessage);
  kolbet::TApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  // Started where its data files are not, the game reads the installed ones.
  std::vector<QString> searched =
      kolbet::GoToDataFolder(kolbet::GraphicsPackFile, kolbet::InstalledDataFolder(QCoreApplication::applicationDirPath()));

  double scale = 1;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    scale = std::max(1.0, std::min(screen->geometry().width() / 640.0, screen->geometry().height() / 480.0));

  // The loading window first: its timer counts from its creation.
  kolbet::TForm_LoadPics loadPics(scale);
  kolbet::TMainForm mainForm(arguments);
  loadPics.SetMainForm(&mainForm);
  loadPics.SetSearched(std::move(searched));
  loadPics.show();
  return kolbet::TApplication::exec();
}
