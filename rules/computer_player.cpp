#include "rules/computer_player.h"

#include <cstdlib>

#include "game/pacing.h"
#include "rules/cards.h"
#include "rules/sound_items.h"

namespace kolbet {

bool SkillAccepts(TGame& game) {
  // Chance to take a better candidate: 36, 59, 72 and 83 in 100 for skills 0 to
  // 3; any other skill always takes it and draws nothing.
  int threshold;
  switch (game.Settings.Skill) {
    case 0: threshold = 63; break;
    case 1: threshold = 40; break;
    case 2: threshold = 27; break;
    case 3: threshold = 16; break;
    default: return true;
  }
  return RandomInt(game.Random, 100) > threshold;
}

// From skill 2 up the top cards are kept out of the announcing choice.
static bool SkipsTopCard(const TGame& game, int card) {
  return IsTopCard(card) && game.Settings.Skill >= 2;
}

int ChooseRank(TGame& game, const std::array<std::int32_t, 5>& hand) {
  game.Table.NeedsRedraw = true;
  std::array<int, 8> count{};
  for (int card : hand) {
    if (!IsCard(card) || SkipsTopCard(game, card)) continue;
    ++count[RankOf(card)];
  }
  int best = 0;
  for (int rank = 0; rank < 8; ++rank)
    if (count[rank] > count[best]) best = rank;
  return best;
}

int ChooseSuit(TGame& game, const std::array<std::int32_t, 5>& hand) {
  game.Table.NeedsRedraw = true;
  std::array<int, 4> weight{};
  for (int card : hand) {
    if (!IsCard(card) || SkipsTopCard(game, card)) continue;
    weight[SuitOf(card)] += RankOf(card);
    if (game.Settings.Skill >= 3) weight[SuitOf(card)] += 8;
  }
  int best = 0;
  for (int suit = 0; suit < 4; ++suit)
    if (weight[suit] > weight[best]) best = suit;
  return best;
}

// Moves the card of `slot` into the trick.
static void PlaySlot(TSeat& seat, int slot) {
  seat.TrickCard = seat.Hand[slot];
  seat.Hand[slot] = NoCard;
}

void ChooseLead(TGame& game, TSeat& seat) {
  game.Table.NeedsRedraw = true;
  const int announced = game.Table.AnnouncedCard;
  int cards = 0;
  for (int card : seat.Hand)
    if (card != NoCard) ++cards;

  int best = 100;
  int chosen = 0;
  for (int slot = 0; slot < 5; ++slot) {
    const int card = seat.Hand[slot];
    if (card == NoCard) continue;
    if (CardValue(card, announced) < best && SkillAccepts(game)) {
      best = CardValue(card, announced);
      chosen = slot;
    }
    // With a full hand and the first-trick rule on, the announced card always goes first.
    if (cards == 5 && card == announced && game.Settings.TrumpfoderNarrisch) {
      best = -1;
      chosen = slot;
    }
  }
  if (seat.Hand[chosen] == NoCard) {
    // Slot 0 was empty and no candidate was accepted: take the first card there is.
    chosen = -1;
    for (int slot = 0; slot < 5 && chosen < 0; ++slot)
      if (seat.Hand[slot] != NoCard) chosen = slot;
  }
  if (chosen < 0) {
    seat.TrickCard = NoCard;
    return;
  }
  PlaySlot(seat, chosen);
}

// The cheapest card that beats `led`, each improvement subject to the skill
// test; -1 when none was taken.
static int CheapestWinner(TGame& game, const TSeat& seat, int led) {
  const int announced = game.Table.AnnouncedCard;
  int best = 100;
  int chosen = -1;
  for (int slot = 0; slot < 5; ++slot) {
    const int card = seat.Hand[slot];
    if (card == NoCard) continue;
    if (CardValue(card, announced) < best && Beats(led, card, announced) && SkillAccepts(game)) {
      best = CardValue(card, announced);
      chosen = slot;
    }
  }
  return chosen;
}

// Plays the winning card of `slot`; a cheap win earns "Den nimm i bülle".
static void TakeWith(TGame& game, TSeat& seat, int slot, int led) {
  const int announced = game.Table.AnnouncedCard;
  seat.TrickCard = seat.Hand[slot];
  if (std::abs(CardValue(seat.TrickCard, announced) - CardValue(led, announced)) < 5)
    PlaySound(game, ItemCloseTake, true);
  seat.Hand[slot] = NoCard;
}

void ChooseAnswer(TGame& game, TSeat& seat, int led) {
  game.Table.NeedsRedraw = true;
  const int chosen = CheapestWinner(game, seat, led);
  if (chosen < 0) {
    ChooseLead(game, seat);
    return;
  }
  TakeWith(game, seat, chosen, led);
}

void ChooseTrumpAnswer(TGame& game, TSeat& seat, int led) {
  game.Table.NeedsRedraw = true;
  const int chosen = CheapestWinner(game, seat, led);
  if (chosen >= 0) {
    TakeWith(game, seat, chosen, led);
    return;
  }
  // No winner: the cheapest trump, first on a tie, with no skill test.
  const int announced = game.Table.AnnouncedCard;
  int trump = -1;
  for (int slot = 0; slot < 5; ++slot) {
    const int card = seat.Hand[slot];
    if (!IsTrump(card, announced)) continue;
    if (trump < 0 || CardValue(card, announced) < CardValue(seat.Hand[trump], announced)) trump = slot;
  }
  if (trump < 0) {
    // No trump at all: slot 0, which is filled in the first trick; the first
    // card there is should the hand ever be short.
    for (int slot = 0; slot < 5 && trump < 0; ++slot)
      if (seat.Hand[slot] != NoCard) trump = slot;
  }
  if (trump < 0) {
    seat.TrickCard = NoCard;
    return;
  }
  PlaySlot(seat, trump);
}

}  // namespace kolbet
