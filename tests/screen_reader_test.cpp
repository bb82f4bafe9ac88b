// What the screen reader is told beyond the focus, through the real window:
// the notes it would speak, as a screen reader finds them.

#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>

#include "assets/option_levels.h"
#include "game/form_keys.h"
#include "game/table_news.h"
#include "platform/picture_controls.h"
#include "tests/window_fixture.h"

namespace kolbet {
namespace {

void Key(int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); }

class ScreenReaderTest : public WindowTest {
 protected:
  // The notes told since the last call.
  QStringList Told() {
    const TSpokenNotes& notes = Form->DXDraw->Notes();
    const auto fresh = static_cast<qsizetype>(notes.Told() - Heard);
    Heard = notes.Told();
    const QStringList kept = notes.Kept();
    return kept.mid(kept.size() - std::min(fresh, kept.size()));
  }
  // At the table with a hand to lead, all told so far heard.
  void AtTheTable() {
    Start();
    Click(Form->Button1);
    Form->Handle([this] { DealLeadHand(); });
    Told();
  }
  std::size_t Heard = 0;
};

TEST_F(ScreenReaderTest, HearsTheSelectionATrickAndARefusedCardPlayedByKeys) {
  AtTheTable();
  Key(Qt::Key_Right);
  EXPECT_EQ(Told(), QStringList{"1 Gria Zirna"}) << "no sound device: the game's own voice is silent";
  Key(Qt::Key_Return);
  const QStringList trick = Told();
  ASSERT_GE(trick.size(), 2);
  EXPECT_TRUE(trick[0].startsWith("Du: Gria Zirna. Gegner: ")) << trick.join(" | ").toStdString();
  EXPECT_TRUE(trick[1].startsWith("Da Stich ghert ")) << trick.join(" | ").toStdString();

  // The announced card led to the first trick binds the answer to a trump.
  Form->Handle([this] {
    TTable& t = Form->Game.Table;
    DealLeadHand();
    t.Phase = PhaseFollowTrump;
    t.OpponentSeat.TrickCard = t.AnnouncedCard;
    t.OpponentSeat.Hand[0] = NoCard;
  });
  Told();
  const TTable before = Form->Game.Table;
  Key(Qt::Key_1);
  Key(Qt::Key_Return);
  EXPECT_EQ(Told(), (QStringList{"1 Gria Zirna", RefusedCardWords}));
  EXPECT_EQ(std::tie(Form->Game.Table.PlayerSeat, Form->Game.Table.Phase), std::tie(before.PlayerSeat, before.Phase));
}

}  // namespace
}  // namespace kolbet
