// The real main window on Qt's offscreen platform, driven by pointer and key
// events as a player would: presses play the card under the pointer, also on
// a scaled window; the card-name hint; the two keys; the options panel and the
// settings file it leaves; start-up with bad and missing files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "assets/graphics_pack.h"
#include "assets/load_pics_form.h"
#include "game/dxdraw.h"
#include "game/form_keys.h"
#include "game/main_form.h"
#include "platform/error_box.h"
#include "platform/picture_controls.h"
#include "rules/cards.h"
#include "tests/window_fixture.h"

namespace kolbet {
namespace {

TEST_F(WindowTest, PressesPlayTheCardUnderThePointerAtEveryScale) {
  Start();
  struct TCase {
    int x, y, slot;
    Qt::MouseButton button;
  };
  const TCase cases[] = {
      {100, 469, 0, Qt::LeftButton}, {100, 470, -1, Qt::LeftButton}, {200, 434, 2, Qt::LeftButton},
      {200, 440, 1, Qt::RightButton}, {230, 478, 4, Qt::LeftButton}, {230, 479, -1, Qt::LeftButton},
      {300, 100, -1, Qt::LeftButton},
  };
  // Scale 1, a window filling a 1440 × 1080 area, and a wide one with black bars.
  for (const auto& [scale, width] : {std::pair{1.0, 0}, {2.25, 0}, {2.25, 1920}}) {
    ShowAt(scale, width);
    for (const TCase& c : cases) {
      SCOPED_TRACE(testing::Message() << "scale " << scale << " width " << width << " at " << c.x << "," << c.y);
      DealLeadHand();
      const auto hand = Form->Game.Table.PlayerSeat.Hand;
      Press(c.x, c.y, c.button);
      if (c.slot < 0) {
        EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand, hand);
        EXPECT_TRUE(Recorder.Events().empty());
      } else {
        EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand[c.slot], NoCard);
        ASSERT_FALSE(Recorder.Events().empty());
        EXPECT_EQ(Recorder.Events().front(), "sound " + std::to_string(hand[c.slot]) + " wait");
      }
    }
  }
}

TEST_F(WindowTest, CardNameHintShowsOnTheSecondMoveWithinACard) {
  Start();
  DealLeadHand();
  Move(100, 469);  // into slot 0: its name, hidden
  EXPECT_FALSE(Form->DXDraw->HintShown());
  EXPECT_EQ(Form->DXDraw->HintText(), "Gria Zirna");
  EXPECT_EQ(Form->DXDraw->cursor().shape(), Qt::PointingHandCursor);
  Move(101, 468);  // within the same card: shown
  EXPECT_TRUE(Form->DXDraw->HintShown());
  Move(200, 434);  // straight to slot 2: hidden again, with the new name
  EXPECT_FALSE(Form->DXDraw->HintShown());
  EXPECT_EQ(Form->DXDraw->HintText(), "Schölln Unta");
  Move(300, 100);  // off the cards: no hint, the table cursor
  EXPECT_FALSE(Form->DXDraw->HintShown());
  EXPECT_EQ(Form->DXDraw->cursor().shape(), Qt::BitmapCursor);

  // The pointer resting over slot 0 while another card is dealt into it, and
  // while its card is played: the old name goes at once.
  Move(100, 469);
  Move(101, 468);
  ASSERT_TRUE(Form->DXDraw->HintShown());
  Form->Handle([this] { Form->Game.Table.PlayerSeat.Hand[0] = HirzKini; });
  EXPECT_FALSE(Form->DXDraw->HintShown());
  Move(101, 469);
  EXPECT_EQ(Form->DXDraw->HintText(), "Hirz Kini");
  Move(100, 469);
  ASSERT_TRUE(Form->DXDraw->HintShown());
  Press(100, 469);
  EXPECT_FALSE(Form->DXDraw->HintShown());
}

TEST_F(WindowTest, PressesMadeWhileAWaitHeldTheTableAreDropped) {
  Start();
  // A press on slot 1 as the window system would deliver it later.
  const auto postPress = [this] {
    const double s = Form->DXDraw->Scale();
    const QPointF at((200 + 0.5) * s, (440 + 0.5) * s);
    QCoreApplication::postEvent(Form->DXDraw, new QMouseEvent(QEvent::MouseButtonPress, at, Form->DXDraw->mapToGlobal(at),
                                                              Qt::LeftButton, Qt::LeftButton, {}));
  };
  DealLeadHand();
  postPress();
  QApplication::processEvents();
  EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand[1], NoCard) << "a press queued without a wait plays";

  // The same press, and the keys that select and play slot 1, made during
  // the pause after the answer are dropped; a timer that fired meanwhile
  // still runs.
  struct PressingClock final : ClockPort {
    std::function<void()> OnPause;
    void Pause(std::chrono::milliseconds) override { OnPause(); }
    std::uint32_t MillisecondsOfDayUtc() override { return 0; }
  } clock;
  bool timerRan = false;
  clock.OnPause = [&] {
    postPress();
    for (const int key : {Qt::Key_2, Qt::Key_Space})
      QCoreApplication::postEvent(QApplication::focusWidget(), new QKeyEvent(QEvent::KeyPress, key, {}));
    QTimer::singleShot(0, [&] { timerRan = true; });
  };
  Click(Form->Button1);  // a game, so that the keys reach the table
  Form->Game.Clock = &clock;
  DealLeadHand();
  const std::int32_t second = Form->Game.Table.PlayerSeat.Hand[1];
  Press(100, 469);
  EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand[0], NoCard);
  EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand[1], second);
  EXPECT_EQ(Form->Keys->ShownSlot(), -1);
  EXPECT_TRUE(timerRan);
}

TEST_F(WindowTest, AltEnterSwitchesFullScreenAndEscapeEnds) {
  Start();
  ASSERT_TRUE(Form->FullScreen());
  QTest::keyClick(Form.get(), Qt::Key_Return, Qt::AltModifier);
  EXPECT_FALSE(Form->FullScreen());
  const double scale = Form->WindowedScale();
  EXPECT_EQ(Form->size(), QSize(qRound(640 * scale), qRound(480 * scale)));
  QTest::keyClick(Form.get(), Qt::Key_Return, Qt::AltModifier);
  EXPECT_TRUE(Form->FullScreen());

  // Escape ends the program from any control, here the open music list.
  Click(Form->Button5);
  Form->Dmusi->setFocus();
  QTimer::singleShot(0, [this] { QTest::keyClick(Form->Dmusi, Qt::Key_Escape); });
  EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(WindowTest, TitleCornerLeavesFullScreenAndOpensTheRulesPage) {
  Start();
  Press(300, 100);
  EXPECT_TRUE(Opened.empty());
  BrowserWorks = false;  // nothing on the desktop opens the page
  Press(451, 461);
  EXPECT_TRUE(Form->FullScreen());
  EXPECT_EQ(Errors, std::vector<std::string>{"Datei Kolbet.html kann nicht geöffnet werden."});
  BrowserWorks = true;
  Opened.clear();
  Press(451, 461);
  EXPECT_FALSE(Form->FullScreen());
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_TRUE(Opened[0].isLocalFile());
  EXPECT_TRUE(Opened[0].toLocalFile().endsWith("/Kolbet.html"));
}

TEST_F(WindowTest, FramesOnlyWhenNeededAndNotWhileInactive) {
  Start();
  // Showing the window may bring a resize and the activation after the first frame.
  int settled = -1;
  for (int i = 0; i < 40 && Form->FramesDrawn() != settled; ++i) {
    settled = Form->FramesDrawn();
    QTest::qWait(150);
  }
  EXPECT_GE(settled, 1);
  // Idle, the program is not woken at each display refresh: no timer runs.
  struct TimerCount final : QObject {
    int Count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Timer) ++Count;
      return false;
    }
  } timers;
  qApp->installEventFilter(&timers);
  QTest::qWait(300);
  qApp->removeEventFilter(&timers);
  EXPECT_EQ(Form->FramesDrawn(), settled) << "an idle title draws nothing";
  EXPECT_LT(timers.Count, 3) << "an idle title wakes no frame timer";
  // A frame forced while the timer's frame is due is not drawn a second time.
  Form->Handle([this] { Form->Game.Table.NeedsRedraw = true; });
  Form->ForceFrame();
  QTest::qWait(100);
  EXPECT_EQ(Form->FramesDrawn(), ++settled);

  Form->Handle([this] { Form->DXTimerDeactivate(); });
  EXPECT_EQ(Form->windowTitle(), "Brivlo Kolbet [Pause]");
  Form->Game.Table.NeedsRedraw = true;
  QTest::qWait(100);
  EXPECT_EQ(Form->FramesDrawn(), settled);
  Form->Handle([this] { Form->DXTimerActivate(); });
  EXPECT_EQ(Form->windowTitle(), "Brivlo Kolbet");
  QTest::qWait(100);
  EXPECT_EQ(Form->FramesDrawn(), settled + 1);
}

TEST_F(WindowTest, ForcedFramesAreDrawnBeforeEachPause) {
  Start();
  std::vector<int> framesAtPause;
  struct CountingClock final : ClockPort {
    std::function<void()> OnPause;
    void Pause(std::chrono::milliseconds) override { OnPause(); }
    std::uint32_t MillisecondsOfDayUtc() override { return 0; }
  } clock;
  clock.OnPause = [&] { framesAtPause.push_back(Form->FramesDrawn()); };
  Form->Game.Clock = &clock;
  DealLeadHand();
  const int before = Form->FramesDrawn();
  Press(100, 469);
  ASSERT_FALSE(framesAtPause.empty());
  EXPECT_GT(framesAtPause.front(), before) << "both trick cards are shown during the pause";
}

TEST_F(WindowTest, OptionsPanelChangesReachTheSettingsFileAndTheNextStart) {
  Start();
  Click(Form->Button5);
  EXPECT_TRUE(Form->Panel1->isVisible());
  EXPECT_FALSE(Form->Panel3->isVisible());
  Click(Form->Image2);                    // music 2 -> 3
  Click(Form->Image3, Qt::RightButton);   // sound 2 -> 1
  Click(Form->Image4, Qt::RightButton);   // skill 2 -> 1
  Click(Form->Image4, Qt::MiddleButton);  // skill 1 -> 0
  Click(Form->Image7, Qt::RightButton);   // the rule on
  Form->Dmusi->setCurrentIndex(1);
  emit Form->Dmusi->activated(1);
  const std::string chosen = Form->DmusiList.Entries[1];
  Click(Form->Button6);
  EXPECT_FALSE(Form->Panel1->isVisible());
  EXPECT_TRUE(Form->Panel3->isVisible());
  EXPECT_TRUE(Errors.empty()) << Errors.front();

  QSettings file(QString::fromStdString((Home / "config/DRN/Kolbet.conf").string()), QSettings::IniFormat);
  EXPECT_EQ(file.value("MusicVolume").toInt(), 3);
  EXPECT_EQ(file.value("SoundVolume").toInt(), 1);
  EXPECT_EQ(file.value("Skill").toInt(), 0);
  EXPECT_EQ(file.value("TrumpfOderNarrisch").toInt(), 1);
  EXPECT_EQ(file.value("MusicName").toString().toStdString(), chosen);

  // Changes after the save are lost when the program ends without it.
  Click(Form->Button5);
  Click(Form->Image2);
  Form.reset();
  Start();
  const TSettings& s = Form->Game.Settings;
  EXPECT_EQ((std::array{s.MusicVolume, s.SoundVolume, s.Skill}), (std::array{3, 1, 0}));
  EXPECT_TRUE(s.TrumpfoderNarrisch);
  EXPECT_EQ(Form->Dmusi->currentText().toStdString(), chosen);
}

// The box comes once everything else is read: the panel shows the settings
// as stored, and closing it keeps what the player did not change.
TEST_F(WindowTest, AWrongTypeSettingIsReportedAndLosesNoOtherSetting) {
  fs::create_directories(Home / "config/DRN");
  const fs::path conf = Home / "config/DRN/Kolbet.conf";
  std::ofstream(conf) << "[General]\nMusicVolume=4\nSkill=zwei\nTrumpfOderNarrisch=1\nMusicName=Wirtshauswalzer\n";
  Start();
  EXPECT_EQ(Errors, std::vector<std::string>{"Ungültiger Datentyp für 'Skill'"});
  EXPECT_EQ(Form->Game.Settings.MusicVolume, 4);
  EXPECT_TRUE(Form->Game.Settings.TrumpfoderNarrisch);
  EXPECT_TRUE(Form->Image2->HasPicture() && Form->Image4->HasPicture());
  EXPECT_EQ(Form->Dmusi->currentText(), "Wirtshauswalzer");
  Click(Form->Button5);
  Click(Form->Button6);  // "Zruck" saves
  std::stringstream saved;
  saved << std::ifstream(conf).rdbuf();
  EXPECT_EQ(saved.str(), "[General]\nMusicName=Wirtshauswalzer\nMusicVolume=4\nSkill=zwei\nSoundVolume=2\n"
                         "TrumpfOderNarrisch=1\n");
  EXPECT_EQ(Form->Game.Table.Phase, PhaseTitle);
  Click(Form->Button1);  // the game can be played
  EXPECT_EQ(Form->Game.Table.Phase, PhaseAnnounceRank);
}

TEST_F(WindowTest, AMissingSoundBankLeavesASilentGameWithItsSettings) {
  Start({"Kolbet.snd"});
  EXPECT_EQ(Errors, std::vector<std::string>{"Datei Kolbet.snd kann nicht geöffnet werden."});
  EXPECT_FALSE(Form->SoundBankLoaded);
  EXPECT_EQ(Form->Dmusi->count(), 2);
  EXPECT_TRUE(Form->Image2->HasPicture());
  Click(Form->Button5);
  Click(Form->Image2, Qt::RightButton);  // music level changes without a bank to sound
  EXPECT_EQ(Form->Game.Settings.MusicVolume, 1);
  EXPECT_EQ(Errors.size(), 1u);
}

TEST_F(WindowTest, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
  Start();
  fs::remove(Home / "run/Landler.kbm");
  const int landler = Form->Dmusi->findText("Landler");
  ASSERT_GE(landler, 0);
  emit Form->Dmusi->activated(landler);
  EXPECT_EQ(Errors, std::vector<std::string>{"Datei Landler.kbm kann nicht geöffnet werden."});
  Click(Form->Button1);
  EXPECT_EQ(Form->Game.Table.Phase, PhaseAnnounceRank);
}

TEST_F(WindowTest, AMissingGraphicsPackEndsTheProgramWithStatusOne) {
  Start({"kolbet.dat"}, false);
  TForm_LoadPics loading(1);
  loading.SetMainForm(Form.get());
  loading.show();
  EXPECT_EQ(QApplication::exec(), 1);
  EXPECT_EQ(Errors, std::vector<std::string>{"Datei kolbet.dat kann nicht geöffnet werden."});
  EXPECT_FALSE(Form->isVisible());
}

TEST_F(WindowTest, TheLoadingWindowCountsEveryPicture) {
  Start({}, false);
  TForm_LoadPics loading(1);
  loading.SetMainForm(Form.get());
  std::vector<int> shown;
  QObject::connect(loading.ProgressBar, &QProgressBar::valueChanged, [&](int v) { shown.push_back(v); });
  EXPECT_EQ(loading.Label1->text(), "Initialisierung...");
  EXPECT_EQ(loading.size(), QSize(305, 115));
  loading.show();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (Form->isVisible()) QApplication::exit(7);
  });
  poll.start(10);
  QTimer::singleShot(20000, [] { QApplication::exit(8); });
  EXPECT_EQ(QApplication::exec(), 7);
  EXPECT_EQ(shown.back(), 38);
  EXPECT_FALSE(loading.isVisible());
  EXPECT_TRUE(Form->isVisible());
  EXPECT_EQ(Form->Game.Table.Phase, PhaseTitle);
}

TEST(ErrorBox, AddsAFullStopAfterLettersOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"Datei Kolbet.snd kann nicht geöffnet werden", "Datei Kolbet.snd kann nicht geöffnet werden."},
      {"Der Index der Liste überschreitet das Maximum (7)", "Der Index der Liste überschreitet das Maximum (7)"},
      {"Ungültiger Datentyp für 'Skill'", "Ungültiger Datentyp für 'Skill'"},
      {"Fertig.", "Fertig."},
      {"a-", "a-"},
      {"a/", "a/."},
      {"Größe ü", "Größe ü."},
      {"", ""},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(ErrorBoxText(text), shown) << text;
}

}  // namespace
}  // namespace kolbet
