#pragma once
// The loading window `TForm_LoadPics`: on the screen while the graphics pack
// is read, with a progress bar that counts the pictures stored; then it hands
// over to the main window and stays hidden for the rest of the run.

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

class QLabel;
class QProgressBar;

namespace kolbet {

class TMainForm;

// Opens the high-resolution companion of the pack whose bytes are `pack` for
// the main window. Its error, if any, is shown; the game goes on without it.
void OpenHdPack(TMainForm& mainForm, std::span<const std::uint8_t> pack);

class TForm_LoadPics final : public QWidget {
 public:
  // `scale` enlarges the window and its lettering on large screens.
  explicit TForm_LoadPics(double scale);
  // The window the pictures are read for, shown when they are.
  void SetMainForm(TMainForm* mainForm) { MainForm = mainForm; }
  // The folders the pack was looked for in, named by the error when none holds it.
  void SetSearched(std::vector<QString> searched) { Searched = std::move(searched); }
  void TimerTimer();

  QLabel* Label1 = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QTimer Timer;

 private:
  TMainForm* MainForm = nullptr;
  std::vector<QString> Searched;
};

}  // namespace kolbet
