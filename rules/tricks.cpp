#include "rules/tricks.h"

#include "game/pacing.h"
#include "rules/cards.h"
#include "rules/computer_player.h"
#include "rules/sound_items.h"

namespace kolbet {

int RandomCurse(TGame& game) {
  const int r = RandomInt(game.Random, 17);
  return 32 + r < 42 ? 32 + r : 60 + r;
}

bool IsFirstTrick(const TTable& table) {
  return table.PlayerSeat.Tricks == 0 && table.OpponentSeat.Tricks == 0;
}

bool FirstTrickRuleTriggered(const TGame& game, int card) {
  return game.Settings.TrumpfoderNarrisch && IsFirstTrick(game.Table) &&
         card == game.Table.AnnouncedCard;
}

bool TrumpAnswerAllowed(const TGame& game, int card) {
  const int announced = game.Table.AnnouncedCard;
  if (IsTrump(card, announced)) return true;
  for (int held : game.Table.PlayerSeat.Hand)
    if (IsTrump(held, announced)) return false;
  return true;
}

// The player took the trick: the computer curses.
static void PlayerTakesTrick(TGame& game) {
  TTable& t = game.Table;
  t.PlayerSeat.Tricks += 1;
  t.Phase = PhaseLead;
  t.PlayerSeat.TrickCard = NoCard;
  t.OpponentSeat.TrickCard = NoCard;
  PlaySound(game, RandomCurse(game), true);
}

// The computer took the trick: after a second with the emptied table it leads
// the next one, unless its hand is empty after the fifth trick.
static void ComputerTakesTrick(TGame& game) {
  TTable& t = game.Table;
  t.Phase = PhaseFollow;
  t.PlayerSeat.TrickCard = NoCard;
  t.OpponentSeat.TrickCard = NoCard;
  t.OpponentSeat.Tricks += 1;
  PauseShowingTable(game, 1000ms);
  ChooseLead(game, t.OpponentSeat);
  if (t.OpponentSeat.TrickCard != NoCard) PlaySound(game, t.OpponentSeat.TrickCard, true);
}

void PlayerLeads(TGame& game, int slot) {
  TTable& t = game.Table;
  const int card = t.PlayerSeat.Hand[slot];
  const bool ruleTriggered = FirstTrickRuleTriggered(game, card);
  t.PlayerSeat.TrickCard = card;
  PlaySound(game, ruleTriggered ? ItemFirstTrickCall : card, true);
  t.PlayerSeat.Hand[slot] = NoCard;

  if (ruleTriggered)
    ChooseTrumpAnswer(game, t.OpponentSeat, card);
  else
    ChooseAnswer(game, t.OpponentSeat, card);
  if (t.OpponentSeat.TrickCard != NoCard) PlaySound(game, t.OpponentSeat.TrickCard, true);
  PauseShowingTable(game, 1000ms);

  if (!Beats(t.PlayerSeat.TrickCard, t.OpponentSeat.TrickCard, t.AnnouncedCard))
    PlayerTakesTrick(game);
  else
    ComputerTakesTrick(game);
}

void PlayerAnswers(TGame& game, int slot) {
  TTable& t = game.Table;
  const int card = t.PlayerSeat.Hand[slot];
  t.PlayerSeat.TrickCard = card;
  PlaySound(game, card, true);
  t.PlayerSeat.Hand[slot] = NoCard;
  PauseShowingTable(game, 500ms);

  if (Beats(t.OpponentSeat.TrickCard, t.PlayerSeat.TrickCard, t.AnnouncedCard))
    PlayerTakesTrick(game);
  else
    ComputerTakesTrick(game);
}

void ComputerLeadsFirstTrick(TGame& game) {
  TTable& t = game.Table;
  t.Phase = PhaseFollow;
  ChooseLead(game, t.OpponentSeat);
  const int card = t.OpponentSeat.TrickCard;
  if (FirstTrickRuleTriggered(game, card)) {
    PlaySound(game, ItemFirstTrickCall, true);
    t.Phase = PhaseFollowTrump;
  } else {
    PlaySound(game, card, false);
  }
}

}  // namespace kolbet
