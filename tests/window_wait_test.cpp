// The window's waits: while a handler waits the window keeps being served, and
// what would run the game meanwhile (a timer, a message of the peer) runs after
// the handler, in the order it came; presses and keys on the table made during
// the waits, also during a second wait among what queued up, are dropped. The
// spoken line stays off the screens without a table.

#include <QLineEdit>
#include <QTimer>

#include "game/pacing.h"
#include "game/phase_machine.h"
#include "game/spoken_lines.h"
#include "net/protocol.h"
#include "net/session_service.h"
#include "platform/picture_controls.h"
#include "tests/free_port.h"
#include "tests/window_fixture.h"

namespace kolbet {
namespace {

using namespace std::chrono_literals;

// A press on slot 1 as the window system hands it over after a wait.
void PostPressOnSlot1(TMainForm& form) {
  const double s = form.DXDraw->Scale();
  const QPointF at((200 + 0.5) * s, (440 + 0.5) * s);
  QCoreApplication::postEvent(form.DXDraw, new QMouseEvent(QEvent::MouseButtonPress, at, form.DXDraw->mapToGlobal(at),
                                                           Qt::LeftButton, Qt::LeftButton, {}));
}

TEST_F(WindowTest, WhatComesDuringAWaitRunsAfterTheHandlerInTheOrderItCame) {
  setenv("KOLBET_PORT", std::to_string(test::FreePort()).c_str(), 1);
  Start();
  // The window hosts a session and a peer of the test's own joins it.
  Form->Nomer->setText("Wirt");
  Click(Form->Button3);
  Click(Form->Button8);
  ASSERT_EQ(Form->Game.Table.Phase, PhaseWaitPeer);
  TSessionSettings settings;
  settings.Port = PortFromEnvironment();
  TDXPlay peer(settings);
  peer.SelectTransport(TcpIpProvider, "127.0.0.1");
  ASSERT_EQ(peer.SearchSessions(), std::vector<std::string>{"Wirt"});
  peer.JoinSession("Wirt", "Gast");
  for (int i = 0; i < 400 && Form->Game.Table.Phase == PhaseWaitPeer; ++i) QTest::qWait(5);
  ASSERT_NE(Form->Game.Table.Phase, PhaseWaitPeer) << "the window has dealt";

  // Pauses on the wall clock now: during one the peer sends a chat phrase, a
  // game timer fires, the frame timer is due, the window is served (a plain
  // timer) and a press is sent straight to the table.
  Form->Game.Clock = &Form->WallClock;
  const auto chat = EncodeCommand(CmdSound, 36);
  struct TCase {
    int message, timer;
    std::vector<std::string> order;
  };
  const TCase cases[] = {
      {50, 300, {"begin", "served", "end", "sound 36 start", "timer"}},
      {300, 50, {"begin", "served", "end", "timer", "sound 36 start"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "message at " << c.message << " ms, timer at " << c.timer << " ms");
    Form->Handle([this] {  // the frame timer starts; a press would lead a card
      Form->Game.Table.NeedsRedraw = true;
      Form->Game.Table.Phase = PhaseNetLead;
    });
    const int frames = Form->FramesDrawn();
    const auto hand = Form->Game.Table.PlayerSeat.Hand;
    Recorder.log.clear();
    QTimer::singleShot(c.message, [&] { peer.Send(chat.data(), chat.size()); });
    QTimer::singleShot(c.timer, [&] { Form->Handle([&] { Recorder.log.push_back("timer"); }); });
    QTimer::singleShot(150, [&] {
      Recorder.log.push_back("served");
      PostPressOnSlot1(*Form);
    });
    int framesInWait = -1;
    Form->Handle([&] {
      Recorder.log.push_back("begin");
      Pause(Form->Game, 600ms);
      framesInWait = Form->FramesDrawn() - frames;
      Recorder.log.push_back("end");
    });
    EXPECT_EQ(Recorder.Events(), c.order);
    EXPECT_EQ(framesInWait, 0) << "no frame is drawn during a wait";
    EXPECT_GT(Form->FramesDrawn(), frames) << "the frame timer's turn came after the handler";
    QApplication::processEvents();
    EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand, hand) << "the press sent during the wait was dropped";
    EXPECT_EQ(Form->Game.Table.Phase, PhaseNetLead);
  }
  EXPECT_TRUE(Errors.empty()) << Errors.front();

  // The search of the lobby waits the same way.
  Click(Form->SpeedButton1);
  bool served = false;
  bool lobbyShownFirst = false;
  QTimer::singleShot(100, [&] { served = !Form->Panel2->isVisible(); });
  QTimer::singleShot(200, [&] { Form->Handle([&] { lobbyShownFirst = Form->Panel2->isVisible(); }); });
  Click(Form->Button3);
  EXPECT_TRUE(served) << "the window is served during the search";
  EXPECT_TRUE(lobbyShownFirst) << "the timer's handler ran after the search's";
}

TEST_F(WindowTest, PressesMadeDuringASecondWaitAmongWhatQueuedUpAreDropped) {
  Start();
  Click(Form->Button1);
  // The first pause of a press lets a timer come whose handler pauses too;
  // during that second wait a press on slot 1 is made.
  struct TPressingClock final : ClockPort {
    std::function<void()> OnPause;
    void Pause(std::chrono::milliseconds) override { OnPause(); }
    std::uint32_t MillisecondsOfDayUtc() override { return 0; }
  } clock;
  int pauses = 0;
  bool timerRan = false;
  clock.OnPause = [&] {
    if (++pauses == 1)
      QTimer::singleShot(0, [&] {
        Form->Handle([&] {
          timerRan = true;
          Pause(Form->Game, 1s);
        });
      });
    else if (timerRan && pauses < 10)
      PostPressOnSlot1(*Form);
  };
  Form->Game.Clock = &clock;
  DealLeadHand();
  const std::int32_t second = Form->Game.Table.PlayerSeat.Hand[1];
  Press(100, 469);
  QApplication::processEvents();
  EXPECT_TRUE(timerRan);
  EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand[0], NoCard);
  EXPECT_EQ(Form->Game.Table.PlayerSeat.Hand[1], second);
}

TEST_F(WindowTest, TheSpokenLineShowsOnlyOverTheTable) {
  Start();
  const std::pair<int, std::string_view> cases[] = {
      {PhaseTitle, ""}, {PhaseWaitPeer, ""}, {PhaseNetWait, "Kini"}, {PhaseLead, "Kini"}};
  for (const auto& c : cases) {
    Form->Handle([&] {
      Form->Game.Line("Kini");
      Form->Game.Table.Phase = c.first;
    });
    EXPECT_EQ(Form->SpokenLineShown(), c.second) << "phase " << c.first;
  }
}

}  // namespace
}  // namespace kolbet
