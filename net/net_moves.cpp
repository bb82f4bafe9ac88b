#include "net/net_moves.h"

#include "game/pacing.h"
#include "game/spoken_lines.h"
#include "net/protocol.h"
#include "rules/cards.h"
#include "rules/sound_items.h"
#include "rules/tricks.h"

namespace kolbet {

void NetNamesRank(TGame& game, int slot) {
  TTable& t = game.Table;
  t.Phase = PhaseNetWait;
  const int rank = RankOf(t.PlayerSeat.Hand[slot]);
  if (game.IsHost) {
    t.RemoteRank = rank;
    SendKolbetCommand(game, CmdHostRank, rank);
  } else {
    SendKolbetCommand(game, CmdGuestRank, rank);
  }
  PlaySound(game, ItemRankBase + rank, false);
}

void NetNamesSuit(TGame& game, int slot) {
  TTable& t = game.Table;
  const int suit = SuitOf(t.PlayerSeat.Hand[slot]);
  ShowLine(game, {});  // the other side's rank is now in the announced card
  SendKolbetCommand(game, CmdSuit, suit);
  PlaySound(game, ItemSuitBase + suit, false);
  if (game.IsHost) {
    t.AnnouncedCard = MakeCard(suit, t.RemoteRank);
    SchickStatus(game);
  }
  t.Phase = PhaseNetWait;
}

void NetLeads(TGame& game, int slot) {
  TTable& t = game.Table;
  const int card = t.PlayerSeat.Hand[slot];
  // The host's own table counts, so it places the card and sends it at once;
  // a guest's card leaves its hand when the host's table comes back.
  if (game.IsHost) {
    t.PlayerSeat.TrickCard = card;
    t.PlayerSeat.Hand[slot] = NoCard;
    SchickStatus(game);
  }
  // The first-trick rule holds in every network game: both sides hear its call.
  if (IsFirstTrick(t) && card == t.AnnouncedCard) {
    SendKolbetCommand(game, CmdSound, ItemFirstTrickCall);
    PlaySound(game, ItemFirstTrickCall, true);
  }
  if (game.IsHost)
    SendKolbetCommand(game, CmdHostLead, card);
  else
    SendKolbetCommand(game, CmdGuestLead, slot);
  PlaySound(game, card, false);
  t.Phase = PhaseNetWait;
}

bool NetAnswerAllowed(const TGame& game, int slot) {
  const TTable& t = game.Table;
  const bool bound = IsFirstTrick(t) && t.OpponentSeat.TrickCard != NoCard &&
                     t.OpponentSeat.TrickCard == t.AnnouncedCard;
  // A player bound by the rule who holds no trump at all may answer with any
  // card; otherwise the hand could not go on.
  return !bound || TrumpAnswerAllowed(game, t.PlayerSeat.Hand[slot]);
}

void NetAnswers(TGame& game, int slot) {
  TTable& t = game.Table;
  const int card = t.PlayerSeat.Hand[slot];
  if (!game.IsHost) t.Phase = PhaseNetWait;
  SendKolbetCommand(game, CmdAnswer, slot);
  t.PlayerSeat.TrickCard = card;
  t.PlayerSeat.Hand[slot] = NoCard;
  ForceFrame(game);
  PlaySound(game, card, true);
  // Only the host decides; the guest learns the outcome from its next table.
  if (game.IsHost)
    HostDecidesTrick(game, !Beats(t.OpponentSeat.TrickCard, t.PlayerSeat.TrickCard, t.AnnouncedCard));
}

void HostDecidesTrick(TGame& game, bool guestTakes) {
  TTable& t = game.Table;
  t.PlayerSeat.TrickCard = NoCard;
  t.OpponentSeat.TrickCard = NoCard;
  if (guestTakes) {
    t.OpponentSeat.Tricks += 1;
    t.Phase = PhaseNetWait;
    SendKolbetCommand(game, CmdYourLead, 0);
  } else {
    t.PlayerSeat.Tricks += 1;
    t.Phase = PhaseNetLead;
  }
  SchickStatus(game);
}

}  // namespace kolbet
