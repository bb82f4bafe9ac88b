#include "rules/deal.h"

#include "game/pacing.h"
#include "game/spoken_lines.h"
#include "net/protocol.h"
#include "rules/cards.h"
#include "rules/computer_player.h"
#include "rules/sound_items.h"
#include "rules/tricks.h"

namespace kolbet {

// Draws random numbers until one names a card still in the deck.
static int DrawCard(TGame& game, std::array<bool, CardCount>& inDeck) {
  for (;;) {
    const int card = RandomInt(game.Random, CardCount);
    if (inDeck[card]) {
      inDeck[card] = false;
      return card;
    }
  }
}

void Geben(TGame& game) {
  TTable& t = game.Table;
  t.NeedsRedraw = true;
  t.AnnouncedCard = NoCard;
  Pause(game, 2000ms);

  ShowLine(game, {});  // the last hand's result goes with its cards
  std::array<bool, CardCount> inDeck;
  inDeck.fill(true);
  for (int slot = 0; slot < 5; ++slot) {
    t.PlayerSeat.Hand[slot] = DrawCard(game, inDeck);
    t.OpponentSeat.Hand[slot] = DrawCard(game, inDeck);
  }
  for (TSeat* seat : {&t.PlayerSeat, &t.OpponentSeat}) {
    seat->TrickCard = NoCard;
    seat->Tricks = 0;
  }
  t.PlayerAnnouncesRank = !t.PlayerAnnouncesRank;
  ForceFrame(game);

  if (!t.NetworkGame) {
    if (t.PlayerAnnouncesRank) {
      t.Phase = PhaseAnnounceRank;
      PlaySound(game, ItemCallRank, false);
    } else {
      t.Phase = PhaseAnnounceSuit;
      t.OpponentSeat.ChosenRank = ChooseRank(game, t.OpponentSeat.Hand);
      ShowLine(game, RankLine(t.OpponentSeat.ChosenRank));
      PlaySound(game, ItemRankBase + t.OpponentSeat.ChosenRank, true);
      PlaySound(game, ItemCallSuit, false);
    }
  } else {
    // Only the host deals; the command goes out before the new table.
    if (t.PlayerAnnouncesRank) {
      t.Phase = PhaseNetAnnounceRank;
      PlaySound(game, ItemCallRank, false);
      SendKolbetCommand(game, CmdWait, 0);
    } else {
      t.Phase = PhaseNetWait;
      SendKolbetCommand(game, CmdAnnounceRank, 0);
    }
    SchickStatus(game);
  }
  t.NeedsRedraw = true;
}

void PlayerNamesRank(TGame& game, int slot) {
  TTable& t = game.Table;
  const int rank = RankOf(t.PlayerSeat.Hand[slot]);
  const int suit = ChooseSuit(game, t.OpponentSeat.Hand);
  t.AnnouncedCard = MakeCard(suit, rank);
  t.Phase = PhaseLead;
  PlaySound(game, ItemRankBase + rank, true);
  PlaySound(game, ItemSuitBase + suit, true);
}

void PlayerNamesSuit(TGame& game, int slot) {
  TTable& t = game.Table;
  const int suit = SuitOf(t.PlayerSeat.Hand[slot]);
  t.AnnouncedCard = MakeCard(suit, t.OpponentSeat.ChosenRank);
  ShowLine(game, {});
  PlaySound(game, ItemSuitBase + suit, true);
  ComputerLeadsFirstTrick(game);
}

}  // namespace kolbet
