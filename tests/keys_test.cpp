// The real main window played and set up by keys alone, and the marks keys
// leave, which a pointer player never sees.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>

#include "game/form_keys.h"
#include "game/hit_regions.h"
#include "game/key_input.h"
#include "platform/qt_draw_surface.h"
#include "platform/picture_controls.h"
#include "tests/window_fixture.h"

namespace kolbet {
namespace {

void Key(int key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mods); }

TEST_F(WindowTest, AHandPlayedByKeysSoundsAndEndsAsTheSameSlotsPressedByPointer) {
  const QPoint inside[5] = {{100, 469}, {200, 440}, {200, 434}, {240, 300}, {230, 478}};  // no higher slot's region
  const auto table = [this]() -> const TTable& { return Form->Game.Table; };
  std::vector<int> tried;  // refused slots too
  std::vector<std::string> byKeys;
  Start();
  Key(Qt::Key_Tab);
  Key(Qt::Key_Return);  // "Nei's Spuell"
  // Each move the lowest slot the phase takes, until the hand's point is won.
  while (table().PlayerSeat.Points + table().OpponentSeat.Points == 0 && tried.size() < 40) {
    for (int slot = 0; slot < 5; ++slot) {
      if (table().PlayerSeat.Hand[slot] == NoCard) continue;
      Recorder.log.clear();
      Key(Qt::Key_1 + PlaceOfSlot(table().PlayerSeat.Hand, slot));
      ASSERT_EQ(Recorder.Events().back(), "sound " + std::to_string(table().PlayerSeat.Hand[slot]) + " start");
      Recorder.log.clear();
      // A copy on purpose: the key below changes the table.
      const TTable before = table();  // NOLINT(performance-unnecessary-copy-initialization)
      Key(Qt::Key_Space);
      tried.push_back(slot);
      for (const std::string& e : Recorder.Events()) byKeys.push_back(e);
      if (table().PlayerSeat.Hand != before.PlayerSeat.Hand || table().Phase != before.Phase) break;
    }
  }
  // A copy on purpose: the window and its table are made anew below.
  const TTable keyed = table();  // NOLINT(performance-unnecessary-copy-initialization)
  ASSERT_EQ(keyed.PlayerSeat.Points + keyed.OpponentSeat.Points, 1);

  Form.reset();
  Start();
  Click(Form->Button1);
  Recorder.log.clear();
  for (const int slot : tried) {
    ASSERT_EQ(HitHandSlot(inside[slot].x(), inside[slot].y(), table().PlayerSeat.Hand), slot);
    Press(inside[slot].x(), inside[slot].y());
  }
  EXPECT_EQ(Recorder.Events(), byKeys);
  EXPECT_EQ(std::tie(table().PlayerSeat, table().OpponentSeat, table().Phase),
            std::tie(keyed.PlayerSeat, keyed.OpponentSeat, keyed.Phase));
}

TEST_F(WindowTest, KeyMarksShowOnlyAfterAKeyAndGoWhenThePointerIsUsed) {
  Start();
  Click(Form->Button1);
  DealLeadHand(), Form->ForceFrame();
  const QImage untouched = Form->grab().toImage();
  Key(Qt::Key_Right);
  EXPECT_EQ(Form->Keys->ShownSlot(), 0);
  EXPECT_NE(Form->grab().toImage(), untouched) << "the selected card is outlined";
  Move(300, 100), Move(320, 100);
  EXPECT_EQ(Form->Keys->ShownSlot(), -1);
  EXPECT_EQ(Form->grab().toImage(), untouched);
  Key(Qt::Key_Tab);
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->SpeedButton1);
  EXPECT_NE(Form->grab().toImage(), untouched) << "the game bar's button is marked";
  Press(320, 100);  // beside the cards
  EXPECT_EQ(Form->Keys->MarkedControl(), nullptr);
  EXPECT_EQ(Form->grab().toImage(), untouched);
}

TEST_F(WindowTest, EveryOptionAndTheRulesPageByKeys) {
  Start();
  const int music = Form->DmusiList.Selected;
  // To "Optiona" and in; music up, sound, skill down, the rule on, the next
  // music by Qt's own key, out by "Zruck".
  for (const int key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Right, Qt::Key_Tab, Qt::Key_Left,
                        Qt::Key_Tab, Qt::Key_Left, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Tab})
    Key(key);
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->Button6);
  Key(Qt::Key_Enter);
  EXPECT_TRUE(Form->Panel3->isVisible());
  const TSettings& s = Form->Game.Settings;
  EXPECT_EQ((std::array{s.MusicVolume, s.SoundVolume, s.Skill, int(s.TrumpfoderNarrisch), Form->DmusiList.Selected}),
            (std::array{3, 1, 1, 1, music + 1}));
  // Back from the first button wraps to the last; F1 opens the rules page.
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->Button1);
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->Button2x);
  Key(Qt::Key_F1);
  EXPECT_FALSE(Form->FullScreen());
  EXPECT_EQ(Opened.size(), 1u);
}

TEST_F(WindowTest, TheSelectionIsOutlinedOnlyWhereTheCardIsSeenAndTheTableShowsItsFocus) {
  Start();
  Click(Form->Button1);
  DealLeadHand(), Form->ForceFrame();
  const QImage untouched = Form->grab().toImage();
  Key(Qt::Key_1);  // the leftmost card, which all the others lie on
  ASSERT_EQ(Form->Keys->ShownSlot(), 0);
  const QImage marked = Form->grab().toImage();
  const auto& hand = Form->Game.Table.PlayerSeat.Hand;
  const auto place = [&](int slot) {
    const QtDrawSurface& s = *Form->DXDraw->Surface();
    return HandCardPlace(slot, s.PictureWidth(hand[slot]), s.PictureHeight(hand[slot]));
  };
  const auto cardToSurface = [](const TCardPlace& at, QPointF p) {
    return QTransform().translate(at.X, at.Y).rotate(at.Angle * 360.0 / 256.0).map(p);
  };
  const auto onCard = [&](int slot, QPointF surface, double margin) {
    const TCardPlace at = place(slot);
    const QPointF p = QTransform().rotate(-at.Angle * 360.0 / 256.0).translate(-at.X, -at.Y).map(surface);
    return std::abs(p.x()) < at.Width / 2.0 - margin && std::abs(p.y()) < at.Height / 2.0 - margin;
  };
  const auto pixel = [&](const QImage& image, QPointF surface) {
    return image.pixel(Form->DXDraw->mapTo(Form.get(), (surface * Form->DXDraw->Scale()).toPoint()));
  };
  // Along the outline's right edge: hidden where the next card lies on it,
  // drawn where the card is seen.
  int hidden = 0, drawn = 0;
  const TCardPlace selected = place(0);
  for (double y = -selected.Height / 2.0; y <= selected.Height / 2.0; y += 2) {
    const QPointF p = cardToSurface(selected, {selected.Width / 2.0 + 2, y});
    if (p.y() >= SurfaceHeight - 4) continue;  // the focus frame along the edge
    if (onCard(1, p, 6)) {
      EXPECT_EQ(pixel(marked, p), pixel(untouched, p)) << "outline across the next card at " << p.x() << "," << p.y();
      ++hidden;
    } else if (!onCard(1, p, -6)) {
      drawn += pixel(marked, p) != pixel(untouched, p);
    }
  }
  EXPECT_GT(hidden, 10);
  EXPECT_GT(drawn, 0);
  // Tab put the focus on the table: a frame inside its edge.
  EXPECT_NE(pixel(marked, {1, 240}), pixel(untouched, {1, 240}));
  Move(300, 100), Move(320, 100);
  EXPECT_EQ(Form->grab().toImage(), untouched);
}

TEST_F(WindowTest, EscapeClosesAnOpenListOrMenuAndOnlyThenTheGame) {
  Start();
  Click(Form->Button5);
  Form->Dmusi->showPopup();
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_TRUE(Form->isVisible());
  Form->PopupMenu1->popup(Form->mapToGlobal(QPoint(100, 100)));
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_TRUE(Form->isVisible());
  Key(Qt::Key_Escape);
  EXPECT_FALSE(Form->isVisible());
}

TEST_F(WindowTest, AGameBeginningUnderTheGameBarsMarkTakesTheMarkToTheTable) {
  Start();
  Form->Handle([this] {  // a session opened: the waiting screen with the game bar
    Form->Panel3->hide();
    Form->Panel4->show();
    Form->Game.Table.Phase = PhaseWaitPeer;
  });
  Key(Qt::Key_Tab);
  ASSERT_EQ(Form->Keys->MarkedControl(), Form->SpeedButton1);
  Form->Handle([this] {  // the host dealt: this side names the rank
    DealLeadHand();
    Form->Game.Table.NetworkGame = true;
    Form->Game.Table.Phase = PhaseNetAnnounceRank;
  });
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->DXDraw) << "Return would press \"Zruck\"";
  Key(Qt::Key_Return);
  EXPECT_EQ(Form->Game.Table.Phase, PhaseNetAnnounceRank) << "no card selected: a press beside the cards";
  EXPECT_TRUE(Form->Panel4->isVisible());
}

}  // namespace
}  // namespace kolbet
