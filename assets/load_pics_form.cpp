#include "assets/load_pics_form.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <cstdint>
#include <vector>

#include "assets/data_file.h"
#include "assets/graphics_pack.h"
#include "assets/hd_pack.h"
#include "game/dxdraw.h"
#include "game/main_form.h"
#include "platform/data_folder.h"
#include "platform/error_box.h"
#include "platform/scaled_layout.h"

namespace kolbet {

void OpenHdPack(TMainForm& mainForm, std::span<const std::uint8_t> pack) {
  // The sharp pictures are a bonus: without the companion, or with one that
  // cannot be used (its error shown), the game plays with kolbet.dat alone.
  RunHandler(&mainForm, [&] {
    const TEntrySizes sizes = PackEntrySizes(pack, GraphicsPackFile);
    std::shared_ptr<const THdPack> hd = THdPack::Open(HdPackFile, sizes);
    if (!hd) return;
    // kolbet.dat's own pictures are then read from it again when needed
    // instead of being kept whole. A pack that cannot be read that way is
    // simply kept whole, as without a companion.
    std::shared_ptr<const THdPack> own;
    try {
      own = THdPack::Open(GraphicsPackFile, sizes, 1);
    } catch (const DataError&) {
    }
    mainForm.DXDraw->UseHdPack(std::move(hd), std::move(own));
  });
}

TForm_LoadPics::TForm_LoadPics(double scale)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()));
  setFixedSize(ScaleRect(QRect(0, 0, 305, 115), scale).size());
  QFont font("MS Sans Serif");
  font.setPixelSize(std::max(8, qRound(8 * 96.0 / 72.0 * scale)));
  setFont(font);

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setLineWidth(std::max(1, qRound(scale)));
  frame->setGeometry(rect());
  Label1 = new QLabel("Initialisierung...", this);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setGeometry(ScaleRect(QRect(1, 33, 303, 13), scale).adjusted(0, -qRound(2 * scale), 0, qRound(2 * scale)));
  ProgressBar = new QProgressBar(this);
  ProgressBar->setRange(0, 38);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
  ProgressBar->setGeometry(ScaleRect(QRect(40, 56, 225, 16), scale));

  // Centred on the screen.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());

  // The first tick comes once the event loop runs and the window is painted.
  Timer.setInterval(50);
  connect(&Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
  Timer.start();
}

void TForm_LoadPics::TimerTimer() {
  // A message box raised while the main window is being made runs its own
  // event loop, and this timer fires inside it: until the window is known
  // the timer keeps ticking, so the hand-over comes once it is.
  if (!MainForm) return;
  Timer.stop();  // the hand-over runs once
  std::vector<std::uint8_t> pack;
  const bool read = RunHandler(this, [&] {
    if (!Searched.empty() && !QFileInfo(GraphicsPackFile).exists())
      throw DataError(NotFoundIn(GraphicsPackFile, Searched));
    pack = ReadFileBytes(GraphicsPackFile, MaxPackSize);
    LoadGraphicsFrom(pack, GraphicsPackFile, MainForm->Koartn, [this](int item) {
      ProgressBar->setValue(item);
      ProgressBar->repaint();
    });
  });
  if (!read) {
    // Without its cards the game cannot be played.
    QCoreApplication::exit(1);
    return;
  }
  OpenHdPack(*MainForm, pack);
  hide();
  // Its window is not shown again: gone with it is the picture the window
  // system kept of it, which on a large screen is megabytes.
  destroy();
  MainForm->ShowGame();
}

}  // namespace kolbet
