// The computer player's choices: the skill test, announcing, leading and
// answering with their tie rules, and its spoken reactions.

#include <gtest/gtest.h>

#include "rules/cards.h"
#include "rules/computer_player.h"
#include "tests/test_game.h"

using namespace kolbet;
using kolbet::test::RecordingGame;
using kolbet::test::SeedDrawing;

namespace {

enum { Gria, Oachl, Schoelln, Hirz };
enum { Sima, Ochta, Neina, Zirna, Unta, Baua, Kini, Sau };
constexpr int C(int suit, int rank) { return MakeCard(suit, rank); }

TSeat SeatWith(std::array<std::int32_t, 5> hand) {
  TSeat seat;
  seat.Hand = hand;
  seat.TrickCard = NoCard;
  return seat;
}

// A seed from which every draw of RandomInt(100) for `draws` draws is at most `limit`.
std::uint32_t SeedRefusing(int draws, int limit) {
  for (std::uint32_t seed = 0;; ++seed) {
    TRandom random{seed};
    bool all = true;
    for (int i = 0; i < draws && all; ++i) all = RandomInt(random, 100) <= limit;
    if (all) return seed;
  }
}

}  // namespace

TEST(SkillAccepts, ThresholdsPerSkill) {
  const std::pair<int, int> thresholds[] = {{0, 63}, {1, 40}, {2, 27}, {3, 16}};
  for (auto [skill, threshold] : thresholds) {
    RecordingGame g;
    g.game.Settings.Skill = skill;
    g.game.Random.Seed = SeedDrawing(100, threshold);
    EXPECT_FALSE(SkillAccepts(g.game)) << skill;
    g.game.Random.Seed = SeedDrawing(100, threshold + 1);
    EXPECT_TRUE(SkillAccepts(g.game)) << skill;
  }
}

TEST(SkillAccepts, OtherSkillsAlwaysAcceptWithoutDrawing) {
  for (int skill : {4, 5, 7, -1, 1000}) {
    RecordingGame g;
    g.game.Settings.Skill = skill;
    g.game.Random.Seed = 1234;
    EXPECT_TRUE(SkillAccepts(g.game));
    EXPECT_EQ(g.game.Random.Seed, 1234u) << skill;
  }
}

TEST(ChooseRank, MostFrequentRankLowestOnTie) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  // Five different ranks: the lowest of them.
  EXPECT_EQ(ChooseRank(g.game, {C(Gria, Sau), C(Hirz, Neina), C(Oachl, Baua), C(Gria, Zirna), C(Hirz, Unta)}), Neina);
  // Two pairs: the lower rank wins the tie.
  EXPECT_EQ(ChooseRank(g.game, {C(Gria, Sau), C(Hirz, Sau), C(Oachl, Ochta), C(Gria, Ochta), C(Hirz, Unta)}), Ochta);
  EXPECT_EQ(ChooseRank(g.game, {C(Gria, Sau), C(Hirz, Sau), C(Oachl, Sau), C(Gria, Ochta), C(Hirz, Unta)}), Sau);
}

TEST(ChooseRank, TopCardsCountOnlyBelowSkillTwo) {
  // Three Sima cards, two of them top cards (8 and 16), and a pair of Sau.
  const std::array<std::int32_t, 5> hand = {8, 16, C(Hirz, Sima), C(Gria, Sau), C(Hirz, Sau)};
  for (int skill : {0, 1, -3}) {
    RecordingGame g;
    g.game.Settings.Skill = skill;
    EXPECT_EQ(ChooseRank(g.game, hand), Sima) << skill;
  }
  for (int skill : {2, 3, 4, 7}) {
    RecordingGame g;
    g.game.Settings.Skill = skill;
    EXPECT_EQ(ChooseRank(g.game, hand), Sau) << skill;
  }
}

TEST(ChooseSuit, WeightsBySkill) {
  // Gria Sima, Hirz Sima and the three top cards at skill 2: every sum is 0.
  {
    RecordingGame g;
    EXPECT_EQ(ChooseSuit(g.game, {C(Gria, Sima), C(Hirz, Sima), 8, 16, 30}), Gria);
  }
  // One high Hirz card against two low Oachl cards: the rank sum wins below
  // skill 3, the number of cards from 3 up.
  const std::array<std::int32_t, 5> hand = {C(Hirz, Sau), C(Oachl, Ochta), C(Oachl, Neina), C(Gria, Sima), C(Schoelln, Ochta)};
  for (auto [skill, suit] : {std::pair{0, Hirz}, {1, Hirz}, {2, Hirz}, {3, Oachl}, {4, Oachl}, {9, Oachl}}) {
    RecordingGame g;
    g.game.Settings.Skill = skill;
    EXPECT_EQ(ChooseSuit(g.game, hand), suit) << skill;
  }
  // Top cards count at skill 0: card 30 adds 6 to Hirz.
  {
    RecordingGame g;
    g.game.Settings.Skill = 0;
    EXPECT_EQ(ChooseSuit(g.game, {30, C(Oachl, Zirna), C(Gria, Sima), C(Gria, Ochta), C(Schoelln, Ochta)}), Hirz);
    g.game.Settings.Skill = 2;
    EXPECT_EQ(ChooseSuit(g.game, {30, C(Oachl, Zirna), C(Gria, Sima), C(Gria, Ochta), C(Schoelln, Ochta)}), Oachl);
  }
}

TEST(ChooseLead, AtSkillFourPlaysTheFirstLowestCard) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  g.game.Table.AnnouncedCard = C(Gria, Unta);
  // Oachl Ochta and Hirz Ochta are both worth 1; the first in slot order goes.
  TSeat seat = SeatWith({C(Gria, Sau), C(Oachl, Ochta), 30, C(Hirz, Ochta), C(Schoelln, Kini)});
  ChooseLead(g.game, seat);
  EXPECT_EQ(seat.TrickCard, C(Oachl, Ochta));
  EXPECT_EQ(seat.Hand[1], NoCard);
  EXPECT_TRUE(g.Events().empty());
}

TEST(ChooseLead, FullHandLeadsTheAnnouncedCardUnderTheRule) {
  const std::array<std::int32_t, 5> hand = {C(Hirz, Sima), C(Gria, Unta), C(Oachl, Ochta), 30, C(Gria, Sima)};
  for (int skill : {0, 1, 2, 3, 4}) {
    for (std::uint32_t seed : {1u, 77u, 4242u}) {
      RecordingGame g;
      g.game.Settings.Skill = skill;
      g.game.Settings.TrumpfoderNarrisch = true;
      g.game.Random.Seed = seed;
      g.game.Table.AnnouncedCard = C(Gria, Unta);
      TSeat seat = SeatWith(hand);
      ChooseLead(g.game, seat);
      EXPECT_EQ(seat.TrickCard, C(Gria, Unta)) << skill << " " << seed;
    }
  }
  // Without the rule, or with a card gone, the lowest card is led instead.
  RecordingGame g;
  g.game.Settings.Skill = 4;
  g.game.Table.AnnouncedCard = C(Gria, Unta);
  TSeat seat = SeatWith(hand);
  ChooseLead(g.game, seat);
  EXPECT_EQ(seat.TrickCard, C(Hirz, Sima));
  g.game.Settings.TrumpfoderNarrisch = true;
  seat = SeatWith({NoCard, C(Gria, Unta), C(Oachl, Ochta), 30, C(Gria, Sima)});
  ChooseLead(g.game, seat);
  EXPECT_EQ(seat.TrickCard, C(Oachl, Ochta));
}

TEST(ChooseLead, EveryCandidateRefusedFallsBackToFirstCard) {
  RecordingGame g;
  g.game.Settings.Skill = 0;
  g.game.Table.AnnouncedCard = C(Gria, Unta);
  g.game.Random.Seed = SeedRefusing(5, 63);
  TSeat seat = SeatWith({C(Gria, Sau), C(Oachl, Ochta), 30, C(Hirz, Ochta), C(Schoelln, Kini)});
  ChooseLead(g.game, seat);
  EXPECT_EQ(seat.TrickCard, C(Gria, Sau));

  g.game.Random.Seed = SeedRefusing(3, 63);
  seat = SeatWith({NoCard, NoCard, 30, C(Hirz, Ochta), C(Schoelln, Kini)});
  ChooseLead(g.game, seat);
  EXPECT_EQ(seat.TrickCard, 30);
  EXPECT_EQ(seat.Hand[2], NoCard);

  seat = SeatWith({NoCard, NoCard, NoCard, NoCard, NoCard});
  ChooseLead(g.game, seat);
  EXPECT_EQ(seat.TrickCard, NoCard);
}

TEST(ChooseLead, DrawsOnlyForBetterCandidates) {
  // Values 7, 9, 8, 20, 16 under Unta/Gria: once the first card is taken no
  // later card is lower, so exactly one number is drawn.
  RecordingGame g;
  g.game.Settings.Skill = 2;
  g.game.Table.AnnouncedCard = C(Gria, Unta);
  g.game.Random.Seed = SeedDrawing(100, 50);
  TRandom afterOneDraw = g.game.Random;
  RandomInt(afterOneDraw, 100);
  TSeat seat = SeatWith({C(Hirz, Sau), C(Gria, Ochta), C(Gria, Sima), 30, C(Hirz, Unta)});
  ChooseLead(g.game, seat);
  EXPECT_EQ(seat.TrickCard, C(Hirz, Sau));
  EXPECT_EQ(g.game.Random.Seed, afterOneDraw.Seed);
}

TEST(ChooseAnswer, CheapestWinnerAndItsBoast) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  g.game.Table.AnnouncedCard = C(Gria, Unta);
  // Hirz Zirna (3) led; winners: Hirz Sau (7), Gria Sima (8), card 30 (20).
  TSeat seat = SeatWith({30, C(Gria, Sima), C(Oachl, Sau), C(Hirz, Sau), C(Hirz, Sima)});
  ChooseAnswer(g.game, seat, C(Hirz, Zirna));
  EXPECT_EQ(seat.TrickCard, C(Hirz, Sau));
  EXPECT_EQ(g.Events(), std::vector<std::string>{"sound 42 wait"});  // 7 - 3 < 5

  // Five or more apart: no boast.
  RecordingGame h;
  h.game.Settings.Skill = 4;
  h.game.Table.AnnouncedCard = C(Gria, Unta);
  seat = SeatWith({30, C(Gria, Sima), C(Oachl, Sau), NoCard, C(Hirz, Sima)});
  ChooseAnswer(h.game, seat, C(Hirz, Zirna));
  EXPECT_EQ(seat.TrickCard, C(Gria, Sima));  // 8 - 3 = 5
  EXPECT_TRUE(h.Events().empty());
}

TEST(ChooseAnswer, NoWinnerPlaysAsWhenLeadingWithoutBoast) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  g.game.Table.AnnouncedCard = C(Gria, Unta);
  TSeat seat = SeatWith({C(Oachl, Sau), C(Hirz, Neina), C(Schoelln, Ochta), C(Oachl, Zirna), C(Hirz, Baua)});
  ChooseAnswer(g.game, seat, 30);
  EXPECT_EQ(seat.TrickCard, C(Schoelln, Ochta));
  EXPECT_TRUE(g.Events().empty());

  // A full hand under the rule answers with the announced card even though it loses.
  g.game.Settings.TrumpfoderNarrisch = true;
  seat = SeatWith({C(Oachl, Sau), C(Gria, Unta), C(Schoelln, Ochta), C(Oachl, Zirna), C(Hirz, Baua)});
  ChooseAnswer(g.game, seat, 30);
  EXPECT_EQ(seat.TrickCard, C(Gria, Unta));
  EXPECT_TRUE(g.Events().empty());
}

TEST(ChooseTrumpAnswer, TopCardWinsElseCheapestTrumpElseSlotZero) {
  const int announced = C(Gria, Unta);
  {
    RecordingGame g;
    g.game.Settings.Skill = 4;
    g.game.Table.AnnouncedCard = announced;
    TSeat seat = SeatWith({C(Gria, Sau), 16, 8, C(Hirz, Sima), C(Oachl, Unta)});
    ChooseTrumpAnswer(g.game, seat, announced);
    EXPECT_EQ(seat.TrickCard, 8);  // 18 beats 17 and is close: boast
    EXPECT_EQ(g.Events(), std::vector<std::string>{"sound 42 wait"});
  }
  {
    // No top card: the cheapest trump, the first of equals, without any draw.
    RecordingGame g;
    g.game.Settings.Skill = 0;
    g.game.Random.Seed = 99;
    g.game.Table.AnnouncedCard = announced;
    TSeat seat = SeatWith({C(Hirz, Sima), C(Oachl, Unta), C(Gria, Sau), C(Hirz, Unta), C(Gria, Ochta)});
    ChooseTrumpAnswer(g.game, seat, announced);
    EXPECT_EQ(seat.TrickCard, C(Gria, Ochta));
    EXPECT_EQ(g.game.Random.Seed, 99u);
    EXPECT_TRUE(g.Events().empty());
  }
  {
    // Two trumps of the announced rank are worth the same: the earlier slot plays.
    RecordingGame g;
    g.game.Settings.Skill = 4;
    g.game.Table.AnnouncedCard = announced;
    TSeat seat = SeatWith({C(Hirz, Sima), C(Oachl, Unta), C(Schoelln, Baua), C(Hirz, Unta), C(Oachl, Ochta)});
    ChooseTrumpAnswer(g.game, seat, announced);
    EXPECT_EQ(seat.TrickCard, C(Oachl, Unta));
    EXPECT_EQ(seat.Hand[1], NoCard);
    EXPECT_EQ(seat.Hand[3], C(Hirz, Unta));
  }
  {
    RecordingGame g;
    g.game.Settings.Skill = 4;
    g.game.Table.AnnouncedCard = announced;
    TSeat seat = SeatWith({C(Hirz, Sima), C(Oachl, Sau), C(Schoelln, Baua), C(Hirz, Zirna), C(Oachl, Ochta)});
    ChooseTrumpAnswer(g.game, seat, announced);
    EXPECT_EQ(seat.TrickCard, C(Hirz, Sima));
    EXPECT_EQ(seat.Hand[0], NoCard);
  }
}
