// The lobby and a network game through the real windows: the lobby's two
// message boxes and the service's error texts, and two windows in one process
// that find each other on loopback and play a hand to its end.

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>

#include "game/phase_machine.h"
#include "net/session_service.h"
#include "platform/picture_controls.h"
#include "tests/free_port.h"
#include "tests/window_fixture.h"

namespace kolbet {
namespace {

// Each test a free port of its own, so that the tests, and another run of the
// suite, can go on side by side.
void UseFreePort() { setenv("KOLBET_PORT", std::to_string(kolbet::test::FreePort()).c_str(), 1); }

TEST_F(WindowTest, LobbyRefusesAnEmptyNameAndAJoinWithoutAChoice) {
  UseFreePort();
  Start();
  const QImage blank = Form->SessionListBox->grab().toImage();
  Click(Form->Button3);
  ASSERT_TRUE(Form->Panel2->isVisible());
  EXPECT_FALSE(Form->Panel3->isVisible());
  EXPECT_FALSE(Form->Button9->isEnabled());
  // The empty list says that the search found nothing, to the eye and to the screen reader.
  EXPECT_NE(Form->SessionListBox->grab().toImage(), blank);
  EXPECT_EQ(Form->SessionListBox->accessibleName(), "Stommdisch: koa Spuell gfundn");
  EXPECT_EQ(Form->DXDraw->Notes().Kept().back(), "Koa Spuell gfundn");

  Form->Nomer->setText("");
  Click(Form->Button8);
  Form->Handle([this] { Form->Button9Click(); });
  EXPECT_EQ(Messages, (std::vector<std::string>{"Dein Nomer gits schuo. Gih an ondern ei.",
                                                "Du muast erscht song, woust mitspuelln wühst"}));
  EXPECT_TRUE(Form->Panel2->isVisible());
  EXPECT_EQ(Form->Game.Table.Phase, PhaseTitle);
  EXPECT_TRUE(Errors.empty());

  Click(Form->Button10);
  EXPECT_FALSE(Form->Panel2->isVisible());
  EXPECT_TRUE(Form->Panel3->isVisible());
}

TEST_F(WindowTest, ASearchThatFailsKeepsTheLobbyClosed) {
  UseFreePort();
  Start();
  Form->Game.Table.UseIPX = true;
  Click(Form->Button3);
  EXPECT_EQ(Errors, std::vector<std::string>{"Provider of specified GUID is not found."});
  EXPECT_FALSE(Form->Panel2->isVisible());
  EXPECT_TRUE(Form->Panel3->isVisible());
}

TEST_F(WindowTest, TwoWindowsMeetInTheLobbyAndPlayAHand) {
  UseFreePort();
  Start();
  TMainForm& host = *Form;
  test::RecordingGame guestRecorder;
  TMainFormSeams seams;
  seams.OpenDevice = false;
  seams.Sound = &guestRecorder.sound;
  seams.Clock = &guestRecorder.clock;
  TMainForm guest(QStringList{"brivlo-kolbet"}, std::move(seams));
  guest.Koartn = Pictures();
  guest.ShowGame();

  host.Nomer->setText("Wirt");
  Click(host.Button3);
  Click(host.Button8);
  ASSERT_EQ(host.Game.Table.Phase, PhaseWaitPeer);
  EXPECT_TRUE(host.ChatMenuAttached);

  guest.Nomer->setText("Gast");
  Click(guest.Button3);
  ASSERT_EQ(guest.SessionListBox->count(), 1);
  EXPECT_EQ(guest.SessionListBox->item(0)->text(), "Wirt");
  // A click chooses the session, a double click joins it as "Mitspuelln" does.
  const QPoint row = guest.SessionListBox->visualItemRect(guest.SessionListBox->item(0)).center();
  QTest::mouseClick(guest.SessionListBox->viewport(), Qt::LeftButton, {}, row);
  EXPECT_TRUE(guest.Button9->isEnabled());
  QTest::mouseDClick(guest.SessionListBox->viewport(), Qt::LeftButton, {}, row);
  ASSERT_EQ(guest.Game.Table.Phase, PhaseWaitPeer);
  EXPECT_FALSE(guest.Panel2->isVisible());

  // Whoever has a move plays the lowest card it may until the host has scored
  // a hand; the session's events run in the windows' event loop meanwhile.
  auto moving = [](TMainForm& f) { return f.Game.Table.Phase >= PhaseNetAnnounceRank; };
  auto press = [](TMainForm& f) {
    for (int slot = 0; slot < 5; ++slot) {
      if (f.Game.Table.PlayerSeat.Hand[slot] == NoCard) continue;
      f.Handle([&] { OnTablePress(f.Game, slot); });
      if (f.Game.Table.Phase != PhaseNetFollow) return;
    }
  };
  for (int i = 0; i < 2000 && host.Game.Table.PlayerSeat.Points + host.Game.Table.OpponentSeat.Points == 0; ++i) {
    if (moving(host)) press(host);
    else if (moving(guest)) press(guest);
    QTest::qWait(5);
  }
  EXPECT_EQ(host.Game.Table.PlayerSeat.Points + host.Game.Table.OpponentSeat.Points, 1);
  QTest::qWait(200);
  // The guest sees the host's table from the other seat.
  EXPECT_EQ(guest.Game.Table.PlayerSeat.Points, host.Game.Table.OpponentSeat.Points);
  EXPECT_EQ(guest.Game.Table.OpponentSeat.Points, host.Game.Table.PlayerSeat.Points);
  EXPECT_EQ(guest.Game.Table.PlayerSeat.Hand, host.Game.Table.OpponentSeat.Hand);
  EXPECT_TRUE(Errors.empty()) << Errors.front();

  // The host leaves with the game bar's "Zruck": the guest waits as the new
  // host, and the next player to join gets a fresh hand with the points reset.
  Click(host.SpeedButton1);
  EXPECT_EQ(host.Game.Table.Phase, PhaseTitle);
  EXPECT_FALSE(host.ChatMenuAttached);
  for (int i = 0; i < 400 && guest.Game.Table.Phase != PhaseWaitPeer; ++i) QTest::qWait(5);
  ASSERT_EQ(guest.Game.Table.Phase, PhaseWaitPeer);
  EXPECT_TRUE(guest.Game.IsHost);

  Click(host.Button3);
  ASSERT_EQ(host.SessionListBox->count(), 1);
  EXPECT_EQ(host.SessionListBox->item(0)->text(), "Wirt") << "the session keeps its name";
  host.SessionListBox->setCurrentRow(0);
  Click(host.Button9);
  for (int i = 0; i < 400 && guest.Game.Table.Phase == PhaseWaitPeer; ++i) QTest::qWait(5);
  EXPECT_NE(guest.Game.Table.Phase, PhaseWaitPeer) << "the new host has dealt";
  EXPECT_EQ(guest.Game.Table.PlayerSeat.Points + guest.Game.Table.OpponentSeat.Points, 0);
  EXPECT_FALSE(host.Game.IsHost);
}

TEST_F(WindowTest, ChatMenuHoldsThePhrasesAndSoundsTheChosenOne) {
  UseFreePort();
  Start();
  // The submenu of curses first, then the phrases with their separators.
  QStringList names;
  const QList<QAction*> top = Form->PopupMenu1->actions();
  ASSERT_FALSE(top.isEmpty());
  ASSERT_NE(top.front()->menu(), nullptr);
  EXPECT_EQ(top.front()->text(), "Fliach");
  for (QAction* a : top.front()->menu()->actions()) names << a->objectName();
  for (QAction* a : top.mid(1)) names << (a->isSeparator() ? QString("-") : a->objectName());
  EXPECT_EQ(names.join(' '),
            "a32 a33 a34 a36 a35 a37 a38 a39 a40 a41 a73 a71 a70 a72 a74 a75 a76 "
            "a42 - a58 a59 a60 a62 a63 a64 - a61 a65 a66 a68 a69");
  EXPECT_FALSE(Form->ChatMenuAttached) << "no chat in a single game";

  Recorder.log.clear();
  top.front()->menu()->actions().at(3)->trigger();  // "Gruzefümferl"
  EXPECT_EQ(top.front()->menu()->actions().at(3)->text(), "Gruzefümferl");
  EXPECT_EQ(Recorder.Events(), std::vector<std::string>{"sound 36 start"});
}

}  // namespace
}  // namespace kolbet
