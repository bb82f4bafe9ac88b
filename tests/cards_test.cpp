// Card encoding, names and the ranking under an announced card.

#include <gtest/gtest.h>

#include "rules/cards.h"

using namespace kolbet;

namespace {

constexpr int Card(int suit, int rank) { return MakeCard(suit, rank); }
enum { Gria, Oachl, Schoelln, Hirz };
enum { Sima, Ochta, Neina, Zirna, Unta, Baua, Kini, Sau };

}  // namespace

TEST(Cards, NamesAndEncoding) {
  EXPECT_EQ(CardName(30), "Hirz Kini");
  EXPECT_EQ(CardName(0), "Gria Sima");
  EXPECT_EQ(CardName(Card(Schoelln, Sau)), "Schölln Sau");
  EXPECT_EQ(CardName(-1), "");
  EXPECT_EQ(SuitOf(23), 2);
  EXPECT_EQ(RankOf(23), 7);
}

TEST(Cards, WorkedExampleUntaGria) {
  const int announced = Card(Gria, Unta);  // 4
  ASSERT_EQ(announced, 4);
  const std::pair<int, int> expected[] = {
      {30, 20}, {16, 19}, {8, 18}, {4, 17},                                           // top cards, announced
      {Card(Oachl, Unta), 16}, {Card(Schoelln, Unta), 16}, {Card(Hirz, Unta), 16},   // announced rank
      {Card(Gria, Sau), 15}, {Card(Gria, Kini), 14}, {Card(Gria, Baua), 13},         // announced suit
      {Card(Gria, Zirna), 11}, {Card(Gria, Neina), 10}, {Card(Gria, Ochta), 9}, {Card(Gria, Sima), 8},
      {Card(Hirz, Sau), 7}, {Card(Oachl, Ochta), 1}};
  for (auto [card, value] : expected) EXPECT_EQ(CardValue(card, announced), value) << CardName(card);
}

TEST(Cards, TopCardsOutrankEverything) {
  for (int announced = 0; announced < 32; ++announced) {
    for (int other = 0; other < 32; ++other) {
      if (other == 30) continue;
      EXPECT_FALSE(Beats(30, other, announced));
      EXPECT_TRUE(Beats(other, 30, announced));
    }
  }
}

TEST(Cards, AnnouncedTopCardKeepsItsClass) {
  // Sima with Oachl names card 8: it stays class 4 and nobody has class 3.
  const int simaOachl = Card(Oachl, Sima);
  EXPECT_EQ(CardClass(8, simaOachl), 4);
  EXPECT_EQ(CardClass(Card(Gria, Sima), simaOachl), 2);
  EXPECT_EQ(CardClass(Card(Hirz, Sima), simaOachl), 2);
  EXPECT_EQ(CardClass(16, simaOachl), 5);
  // Kini with Hirz names card 30.
  const int kiniHirz = Card(Hirz, Kini);
  EXPECT_EQ(CardClass(30, kiniHirz), 6);
  for (int suit : {Gria, Oachl, Schoelln}) EXPECT_EQ(CardClass(Card(suit, Kini), kiniHirz), 2);
  for (int announced : {simaOachl, kiniHirz, Card(Schoelln, Sima)})
    for (int card = 0; card < 32; ++card) EXPECT_NE(CardClass(card, announced), 3);
}

TEST(Cards, TiesStayWithTheLeader) {
  const int announced = Card(Gria, Unta);
  // Two cards of the announced rank: the led one holds, either way round.
  EXPECT_FALSE(Beats(Card(Oachl, Unta), Card(Hirz, Unta), announced));
  EXPECT_FALSE(Beats(Card(Hirz, Unta), Card(Oachl, Unta), announced));
  // Plain cards of different suits: the led card holds whatever the ranks.
  EXPECT_FALSE(Beats(Card(Oachl, Ochta), Card(Hirz, Sau), announced));
  // Announced suit: only a higher rank wins; any of it beats any plain card.
  EXPECT_FALSE(Beats(Card(Gria, Kini), Card(Gria, Zirna), announced));
  EXPECT_TRUE(Beats(Card(Gria, Zirna), Card(Gria, Kini), announced));
  EXPECT_TRUE(Beats(Card(Hirz, Sau), Card(Gria, Ochta), announced));
  // A plain card of the led suit and a higher rank wins.
  EXPECT_TRUE(Beats(Card(Hirz, Neina), Card(Hirz, Baua), announced));
}

// The trick rule in other words: the answer wins when it is worth more and is a
// trump or follows the led suit. Checked over every announced card and pair.
TEST(Cards, BeatsAgreesWithValuesForEveryPair) {
  for (int announced = 0; announced < 32; ++announced) {
    int classTwo = 0;
    for (int led = 0; led < 32; ++led) {
      const int value = CardValue(led, announced);
      EXPECT_GE(value, 0);
      EXPECT_LE(value, 20);
      if (CardClass(led, announced) == 2) {
        EXPECT_EQ(value, 16);
        ++classTwo;
      }
      for (int answer = 0; answer < 32; ++answer) {
        if (answer == led) continue;
        const bool expected = CardValue(answer, announced) > value &&
                              (IsTrump(answer, announced) || SuitOf(answer) == SuitOf(led));
        EXPECT_EQ(Beats(led, answer, announced), expected) << led << " " << answer << " " << announced;
        // Swapped on purpose: never both ways.
        EXPECT_FALSE(Beats(led, answer, announced) && Beats(answer, led, announced));  // NOLINT(readability-suspicious-call-argument)
      }
    }
    const int rank = RankOf(announced);
    const bool fewer = rank == Sima || (rank == Kini && SuitOf(announced) != Hirz);
    if (fewer) EXPECT_LT(classTwo, 3) << announced;
    else EXPECT_EQ(classTwo, 3) << announced;
  }
}
