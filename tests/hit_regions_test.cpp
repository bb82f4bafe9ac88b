// The hand slots under the pointer, and what pointer moves and presses do.

#include <gtest/gtest.h>

#include "game/hit_regions.h"
#include "game/phase_machine.h"
#include "game/pointer_input.h"
#include "rules/cards.h"
#include "tests/test_game.h"

using namespace kolbet;

namespace {

constexpr std::array<std::int32_t, 5> FullHand = {0, 9, 18, 27, 30};

TEST(HitHandSlot, FindsTheTopmostHeldCardUnderThePoint) {
  struct Case {
    int x, y;
    std::array<std::int32_t, 5> hand;
    int slot;
  };
  const std::array<std::int32_t, 5> withoutSlot3 = {0, 9, 18, -1, 30};
  const Case cases[] = {
      // Each region ends above the height of its own first vertex.
      {100, 469, FullHand, 0},
      {100, 470, FullHand, -1},
      {200, 434, FullHand, 2},
      {200, 440, FullHand, 1},
      {230, 478, FullHand, 4},
      {230, 479, FullHand, -1},
      // A point on slot 2's top edge is outside it; one pixel lower it is inside.
      {200, 258, FullHand, 1},
      {200, 259, FullHand, 2},
      // A played card leaves a gap: the point goes to the highest other region
      // that holds it and a card, or to none.
      {280, 270, FullHand, 3},
      {280, 270, withoutSlot3, 2},
      {240, 252, FullHand, 3},
      {240, 252, withoutSlot3, -1},
      {500, 100, FullHand, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HitHandSlot(c.x, c.y, c.hand), c.slot) << "(" << c.x << ", " << c.y << ")";
}

TEST(PointInPolygon, TestsEachEdgeInThirtyTwoBitFloats) {
  // The top edge runs from (365, 137) to (445, 73), and (400, 109) lies exactly
  // on its line; with the line worked out in 32-bit floats it falls just inside.
  const THitRegion region = {{{365, 479}, {365, 137}, {445, 73}, {445, 479}, {405, 479}, {365, 479}}};
  EXPECT_TRUE(PointInPolygon(region, 400, 109));
  EXPECT_TRUE(PointInPolygon(region, 400, 110));
  EXPECT_FALSE(PointInPolygon(region, 400, 107));
  // Vertical edges are tilted by one pixel, which moves both to the right:
  // x 365 is outside, 366 to 445 inside, 446 outside.
  EXPECT_FALSE(PointInPolygon(region, 365, 300));
  EXPECT_TRUE(PointInPolygon(region, 366, 300));
  EXPECT_TRUE(PointInPolygon(region, 445, 300));
  EXPECT_FALSE(PointInPolygon(region, 446, 300));
  // The closing edge of no length cuts the region at the first vertex's height.
  EXPECT_FALSE(PointInPolygon(region, 400, 479));
}

TEST(PointerMoved, SetsTheCardNameFirstAndShowsItOnTheNextMove) {
  TTable table;
  table.Phase = PhaseLead;
  table.PlayerSeat.Hand = FullHand;
  struct Step {
    int x, y;
    bool hand, shown, changed;
    const char* text;
    int hover;
  };
  const Step steps[] = {
      {100, 400, true, false, true, "Gria Sima", 0},   // into slot 0: name set, hint hidden
      {101, 400, true, true, false, "", 0},            // again in slot 0: shown
      {380, 400, true, false, true, "Hirz Kini", 4},   // straight to slot 4: hidden, new name
      {500, 100, false, false, false, "", -1},         // beside the cards
      {380, 400, true, false, true, "Hirz Kini", 4},
  };
  for (const Step& s : steps) {
    const TPointerLook look = PointerMoved(table, s.x, s.y);
    SCOPED_TRACE(testing::Message() << "(" << s.x << ", " << s.y << ")");
    EXPECT_EQ(look.HandPointer, s.hand);
    EXPECT_EQ(look.HintShown, s.shown);
    EXPECT_EQ(look.HintTextChanged, s.changed);
    EXPECT_EQ(look.HintText, s.text);
    EXPECT_EQ(table.HoverSlot, s.hover);
  }

  // On the title only the corner shows the hand pointer, and no card is hovered.
  table.Phase = PhaseTitle;
  EXPECT_TRUE(PointerMoved(table, 451, 461).HandPointer);
  EXPECT_EQ(table.HoverSlot, -1);
  const TPointerLook elsewhere = PointerMoved(table, 450, 461);
  EXPECT_FALSE(elsewhere.HandPointer);
  EXPECT_FALSE(elsewhere.HintShown);
}

TEST(PointerPressed, OpensThePageFromTheTitleCornerAndPlaysCardsOnTheTable) {
  test::RecordingGame r;
  TTable& t = r.game.Table;
  t.NeedsRedraw = false;
  EXPECT_TRUE(PointerPressed(r.game, 451, 461));
  EXPECT_TRUE(t.NeedsRedraw);
  EXPECT_FALSE(PointerPressed(r.game, 451, 460));
  EXPECT_FALSE(PointerPressed(r.game, 100, 400));  // the title has no cards
  EXPECT_TRUE(r.log.empty());

  // Naming the rank with slot 4's card (Hirz Kini): the computer names the
  // suit at once and the hand goes on with the player's lead.
  t.Phase = PhaseAnnounceRank;
  t.PlayerSeat.Hand = FullHand;
  t.OpponentSeat.Hand = {1, 2, 3, 4, 5};
  EXPECT_FALSE(PointerPressed(r.game, 451, 461));  // beside the cards: nothing
  EXPECT_EQ(t.Phase, PhaseAnnounceRank);
  EXPECT_FALSE(PointerPressed(r.game, 380, 400));
  EXPECT_EQ(t.Phase, PhaseLead);
  EXPECT_EQ(RankOf(t.AnnouncedCard), RankOf(30));
}

}  // namespace
