// The real main window played and set up by keys alone, and the marks keys
// leave, which a pointer player never sees.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "game/form_keys.h"
#include "game/hit_regions.h"
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

}  // namespace
}  // namespace kolbet
