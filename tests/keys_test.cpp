// The real main window played and set up by keys alone, and the marks that
// keys leave, which a pointer player never sees.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QSettings>
#include <QTest>

#include "game/form_keys.h"
#include "game/hit_regions.h"
#include "platform/picture_controls.h"
#include "tests/window_fixture.h"

namespace kolbet {
namespace {

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(w, Qt::Key(key), mods); }

TEST_F(WindowTest, AHandPlayedByKeysSoundsAndEndsAsTheSameSlotsPressedByPointer) {
  // A point inside each slot that no higher slot's region holds.
  const QPoint inside[5] = {{100, 469}, {200, 440}, {200, 434}, {240, 300}, {230, 478}};
  std::vector<int> tried;  // every slot tried, refused ones too
  std::vector<std::string> byKeys;
  Start();
  Key(Form.get(), Qt::Key_Tab);
  Key(Form.get(), Qt::Key_Return);  // "Nei's Spuell"
  ASSERT_NE(Form->Game.Table.Phase, PhaseTitle);
  const auto table = [this]() -> const TTable& { return Form->Game.Table; };
  // Each move the lowest slot the phase takes, until the hand's point is won.
  while (table().PlayerSeat.Points + table().OpponentSeat.Points == 0 && tried.size() < 40) {
    for (int slot = 0; slot < 5; ++slot) {
      if (table().PlayerSeat.Hand[slot] == NoCard) continue;
      Recorder.log.clear();
      Key(Form.get(), Qt::Key_1 + slot);
      ASSERT_EQ(Recorder.Events().back(), "sound " + std::to_string(table().PlayerSeat.Hand[slot]) + " start");
      Recorder.log.clear();
      const auto hand = table().PlayerSeat.Hand;
      const int phase = table().Phase;
      Key(Form.get(), Qt::Key_Space);
      tried.push_back(slot);
      const auto events = Recorder.Events();
      byKeys.insert(byKeys.end(), events.begin(), events.end());
      if (table().PlayerSeat.Hand != hand || table().Phase != phase) break;
    }
  }
  ASSERT_EQ(table().PlayerSeat.Points + table().OpponentSeat.Points, 1);
  const TTable keyed = table();

  Form.reset();
  Recorder.log.clear();
  Start();
  Click(Form->Button1);
  Recorder.log.clear();
  for (const int slot : tried) {
    ASSERT_EQ(HitHandSlot(inside[slot].x(), inside[slot].y(), table().PlayerSeat.Hand), slot);
    Press(inside[slot].x(), inside[slot].y());
  }
  EXPECT_EQ(Recorder.Events(), byKeys);
  EXPECT_EQ(table().PlayerSeat, keyed.PlayerSeat);
  EXPECT_EQ(table().OpponentSeat, keyed.OpponentSeat);
  EXPECT_EQ(table().Phase, keyed.Phase);
}

TEST_F(WindowTest, KeyMarksShowOnlyAfterAKeyAndGoWhenThePointerIsUsed) {
  Start();
  Click(Form->Button1);
  DealLeadHand();
  Form->ForceFrame();
  const QImage untouched = Form->grab().toImage();
  Key(Form.get(), Qt::Key_Right);
  EXPECT_EQ(Form->Keys->ShownSlot(), 0);
  EXPECT_NE(Form->grab().toImage(), untouched) << "the selected card is outlined";
  Move(300, 100);
  Move(320, 100);  // a real move off the cards
  EXPECT_EQ(Form->Keys->ShownSlot(), -1);
  EXPECT_EQ(Form->grab().toImage(), untouched);

  Key(Form.get(), Qt::Key_Tab);
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->SpeedButton1);
  EXPECT_NE(Form->grab().toImage(), untouched) << "the game bar's button is marked";
  Press(320, 100);  // beside the cards: nothing is played
  EXPECT_EQ(Form->Keys->MarkedControl(), nullptr);
  EXPECT_EQ(Form->grab().toImage(), untouched);
}

TEST_F(WindowTest, EveryOptionAndTheRulesPageByKeys) {
  Start();
  for (int i = 0; i < 3; ++i) Key(Form.get(), Qt::Key_Tab);  // to "Optiona"
  Key(Form.get(), Qt::Key_Return);
  ASSERT_TRUE(Form->Panel1->isVisible());
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->Image2);
  const struct {
    int key;
    QWidget* marked;
  } steps[] = {
      {Qt::Key_Right, Form->Image2},  // music 2 -> 3
      {Qt::Key_Tab, Form->Image3},   {Qt::Key_Left, Form->Image3},   // sound 2 -> 1
      {Qt::Key_Tab, Form->Image4},   {Qt::Key_Left, Form->Image4},   // skill 2 -> 1
      {Qt::Key_Tab, Form->Image7},   {Qt::Key_Space, Form->Image7},  // the rule on
      {Qt::Key_Tab, Form->Dmusi},    {Qt::Key_Down, Form->Dmusi},    // the next music, by Qt's own key
      {Qt::Key_Tab, Form->Button6},
  };
  const int music = Form->DmusiList.Selected;
  for (const auto& step : steps) {
    Key(QApplication::focusWidget(), step.key);
    EXPECT_EQ(Form->Keys->MarkedControl(), step.marked) << step.key;
  }
  Key(Form.get(), Qt::Key_Enter);
  EXPECT_TRUE(Form->Panel3->isVisible());
  const TSettings& s = Form->Game.Settings;
  EXPECT_EQ((std::array{s.MusicVolume, s.SoundVolume, s.Skill}), (std::array{3, 1, 1}));
  EXPECT_TRUE(s.TrumpfoderNarrisch);
  EXPECT_EQ(Form->DmusiList.Selected, music + 1);
  QSettings file(QString::fromStdString((Home / "config/DRN/Kolbet.conf").string()), QSettings::IniFormat);
  EXPECT_EQ(file.value("Skill").toInt(), 1);

  // Back from the first button wraps to the last; F1 opens the rules page.
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->Button1);
  Key(Form.get(), Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Form->Keys->MarkedControl(), Form->Button2x);
  Key(Form.get(), Qt::Key_F1);
  EXPECT_FALSE(Form->FullScreen());
  EXPECT_EQ(Opened.size(), 1u);
}

}  // namespace
}  // namespace kolbet
