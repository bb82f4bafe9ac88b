#pragma once
// The real main window on Qt's offscreen platform, started in a folder of its
// own with the generated data files, a recording sound and clock, and the
// error and message boxes written down instead of shown.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/dxdraw.h"
#include "game/main_form.h"
#include "assets/graphics_pack.h"
#include "platform/error_box.h"
#include "rules/cards.h"
#include "tests/test_game.h"

namespace kolbet {

namespace fs = std::filesystem;

inline const char* const DataFiles[] = {"kolbet.dat", "Kolbet.snd", "Landler.kbm", "Wirtshauswalzer.kbm"};

// The pictures are read once for all tests.
inline const TImageList& Pictures() {
  static const TImageList koartn = [] {
    TImageList k;
    LoadGraphics(KOLBET_RUN_DIR "/kolbet.dat", k);
    return k;
  }();
  return koartn;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageBox([this](QWidget*, const std::string& text) { Messages.push_back(text); });
    Home = fs::temp_directory_path() / ("kolbet-window-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Home);
    fs::create_directories(Home / "run");
    setenv("XDG_CONFIG_HOME", (Home / "config").c_str(), 1);
    // The desktop's MIME database is refreshed in the background when the
    // music type's entry changes; one folder kept in the build for every run
    // sees that once, not in a folder that a test removes meanwhile.
    setenv("XDG_DATA_HOME", KOLBET_TEST_DATA_HOME, 1);
    Previous = fs::current_path();
    fs::current_path(Home / "run");
    SetErrorBox([this](QWidget*, const std::string& text) { Errors.push_back(text); });
  }

  void TearDown() override {
    Form.reset();
    SetErrorBox({});
    SetMessageBox({});
    fs::current_path(Previous);
    std::error_code ignored;
    fs::remove_all(Home, ignored);
  }

  // Starts the program in a folder holding the data files but `missing`, and
  // shows the main window as the loading window would.
  void Start(const std::set<std::string>& missing = {}, bool show = true) {
    for (const char* file : DataFiles)
      if (!missing.contains(file) && !fs::exists(Home / "run" / file)) fs::create_symlink(fs::path(KOLBET_RUN_DIR) / file, Home / "run" / file);
    TMainFormSeams seams;
    seams.OpenDevice = false;
    seams.Sound = &Recorder.sound;
    seams.Clock = &Recorder.clock;
    seams.OpenUrl = [this](const QUrl& url) {
      Opened.push_back(url);
      return BrowserWorks;
    };
    Form = std::make_unique<TMainForm>(QStringList{"brivlo-kolbet"}, std::move(seams));
    if (!show) return;
    Form->Koartn = Pictures();
    Form->ShowGame();
    Form->Handle([this] { Form->DXTimerActivate(); });
    QApplication::processEvents();
  }

  // A window of the surface at `scale`, with black bars when `width` is wider.
  void ShowAt(double scale, int width = 0) {
    Form->showNormal();
    Form->resize(width ? width : qRound(640 * scale), qRound(480 * scale));
    QApplication::processEvents();
  }

  // A point of the window inside surface pixel (x, y).
  QPoint At(int x, int y) const {
    const double s = Form->DXDraw->Scale();
    return Form->DXDraw->geometry().topLeft() + QPoint(qCeil(x * s), qCeil(y * s));
  }

  void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Form->windowHandle(), button, {}, At(x, y));
  }
  void Move(int x, int y) { QTest::mouseMove(Form->windowHandle(), At(x, y)); }
  void Click(QWidget* w, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(w, button); }

  // A hand to lead from, with nothing recorded yet.
  void DealLeadHand() {
    test::SetLeadHand(Form->Game.Table);
    Recorder.log.clear();
  }

  fs::path Home, Previous;
  test::RecordingGame Recorder;
  std::vector<std::string> Errors;
  std::vector<std::string> Messages;
  std::vector<QUrl> Opened;
  bool BrowserWorks = true;
  std::unique_ptr<TMainForm> Form;
};

}  // namespace kolbet
