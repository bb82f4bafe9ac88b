#include "net/game_messages.h"

#include <array>

#include "game/pacing.h"
#include "game/spoken_lines.h"
#include "net/net_moves.h"
#include "net/protocol.h"
#include "rules/cards.h"
#include "rules/deal.h"
#include "rules/scoring.h"
#include "rules/sound_items.h"

namespace kolbet {

namespace {

// A seat as the status message carries it, from field `first` on.
TSeat ReadSeat(const std::uint8_t* data, int first) {
  TSeat seat;
  for (int slot = 0; slot < 5; ++slot) seat.Hand[slot] = MessageField(data, first + slot);
  seat.TrickCard = MessageField(data, first + 5);
  seat.ChosenRank = MessageField(data, first + 6);
  seat.Tricks = MessageField(data, first + 7);
  seat.Points = MessageField(data, first + 8);
  return seat;
}

bool CardOrNone(int card) { return card == NoCard || IsCard(card); }

// A table the host could have: every card a card or none and none twice among
// the hands and the trick, trick counts of one hand, no negative points.
// ChosenRank is carried along and never read, so it may be anything.
bool PossibleTable(const TSeat& a, const TSeat& b, int announced) {
  std::array<bool, CardCount> seen{};
  for (const TSeat* seat : {&a, &b}) {
    for (int card : {seat->Hand[0], seat->Hand[1], seat->Hand[2], seat->Hand[3], seat->Hand[4], seat->TrickCard}) {
      if (!CardOrNone(card)) return false;
      if (card == NoCard) continue;
      if (seen[card]) return false;
      seen[card] = true;
    }
    if (seat->Tricks < 0 || seat->Tricks > 5 || seat->Points < 0) return false;
  }
  return a.Tricks + b.Tricks <= 5 && CardOrNone(announced);
}

// Kind 0: the host's table, its seats swapped so that this side sits at the bottom.
// Only the host sends its table; one arriving at the host is no move of a
// guest and would overwrite the host's cards, tricks and points, so it is
// passed over.
void TakeStatus(TGame& game, const std::uint8_t* data, std::size_t size) {
  if (size < StatusSize || game.IsHost) return;
  const TSeat senderPlayer = ReadSeat(data, 1);
  const TSeat senderOpponent = ReadSeat(data, 10);
  const int announced = MessageField(data, 19);
  if (!PossibleTable(senderPlayer, senderOpponent, announced)) return;
  TTable& t = game.Table;
  const int playerPoints = t.PlayerSeat.Points, opponentPoints = t.OpponentSeat.Points;
  t.PlayerSeat = senderOpponent;
  t.OpponentSeat = senderPlayer;
  t.AnnouncedCard = announced;
  // The host's table after the hand's last trick with a point more: the
  // hand's result until the next deal.
  if (t.PlayerSeat.Tricks + t.OpponentSeat.Tricks == 5 &&
      (t.PlayerSeat.Points != playerPoints || t.OpponentSeat.Points != opponentPoints))
    ShowLine(game, HandResultLine(t.PlayerSeat.Points != playerPoints));
}

bool IsSlotOfCard(const TSeat& seat, int slot) { return slot >= 0 && slot < 5 && seat.Hand[slot] != NoCard; }

// Whether the command's argument is one its code can carry.
bool ArgumentFits(const TGame& game, std::int32_t code, std::int32_t argument) {
  switch (code) {
    case CmdAnnounceRank:
    case CmdYourLead:
    case CmdWait:
      return true;
    case CmdHostRank:
    case CmdGuestRank:
      return argument >= 0 && argument < 8;
    case CmdSuit:
      return argument >= 0 && argument < 4;
    case CmdHostLead:
      return IsCard(argument);
    case CmdGuestLead:
    case CmdAnswer:
      return IsSlotOfCard(game.Table.OpponentSeat, argument);
    case CmdSound:
      return argument >= 0 && argument < SoundItemCount(game);
    default:
      return false;  // codes above 9 and below 0
  }
}

// The peer's card of `slot` goes into the trick.
void PeerPlays(TTable& t, int slot) {
  t.OpponentSeat.TrickCard = t.OpponentSeat.Hand[slot];
  t.OpponentSeat.Hand[slot] = NoCard;
}

// Kind 1: one row of the command table.
void TakeCommand(TGame& game, const std::uint8_t* data, std::size_t size) {
  if (size < CommandSize) return;
  const std::int32_t code = MessageField(data, 1);
  const std::int32_t argument = MessageField(data, 2);
  if (!ArgumentFits(game, code, argument)) return;
  TTable& t = game.Table;
  switch (code) {
    case CmdAnnounceRank:
      ShowLine(game, {});
      PlaySound(game, ItemCallRank, false);
      t.Phase = PhaseNetAnnounceRank;
      break;
    case CmdHostRank:
    case CmdGuestRank:
      ShowLine(game, RankLine(argument));
      PlaySound(game, ItemRankBase + argument, true);
      PlaySound(game, ItemCallSuit, false);
      if (code == CmdGuestRank) t.RemoteRank = argument;
      t.Phase = PhaseNetAnnounceSuit;
      break;
    case CmdSuit:
      ShowLine(game, {});
      PlaySound(game, ItemSuitBase + argument, false);
      if (game.IsHost) {
        t.AnnouncedCard = MakeCard(argument, t.RemoteRank);
        SchickStatus(game);
      }
      t.Phase = PhaseNetLead;
      break;
    case CmdYourLead:
      t.Phase = PhaseNetLead;
      break;
    case CmdHostLead:
      // The card itself came with the table the host sent just before.
      PlaySound(game, argument, false);
      t.Phase = PhaseNetFollow;
      break;
    case CmdGuestLead:
      if (!game.IsHost) break;  // only the host places a guest's lead
      PeerPlays(t, argument);
      SchickStatus(game);
      PlaySound(game, t.OpponentSeat.TrickCard, true);
      t.Phase = PhaseNetFollow;
      break;
    case CmdAnswer:
      PeerPlays(t, argument);
      ForceFrame(game);
      PlaySound(game, t.OpponentSeat.TrickCard, true);
      // The host led and the guest answered: the guest takes the trick when
      // its card beats the led one.
      if (game.IsHost)
        HostDecidesTrick(game, Beats(t.PlayerSeat.TrickCard, t.OpponentSeat.TrickCard, t.AnnouncedCard));
      break;
    case CmdWait:
      ShowLine(game, {});
      t.Phase = PhaseNetWait;
      break;
    case CmdSound:
      PlaySound(game, argument, false);
      break;
  }
}

}  // namespace

void DXPlay1Message(TGame& game, const std::uint8_t* data, std::size_t size) {
  game.Table.NeedsRedraw = true;
  if (data && size >= 4) {
    switch (MessageField(data, 0)) {
      case KindStatus:
        TakeStatus(game, data, size);
        break;
      case KindCommand:
        TakeCommand(game, data, size);
        break;
      default:
        break;  // no message of this game
    }
  }
  SchauObFirti(game);
}

void DXPlay1AddPlayer(TGame& game) {
  TTable& t = game.Table;
  t.NeedsRedraw = true;
  // The session service also reports the local player when a session opens;
  // the phase is not yet the waiting one then, so that report does nothing.
  if (t.Phase != PhaseWaitPeer || !game.IsHost) return;
  t.PlayerSeat.Points = 0;
  t.OpponentSeat.Points = 0;
  Geben(game);
}

void DXPlay1DeletePlayer(TGame& game) {
  TTable& t = game.Table;
  t.NeedsRedraw = true;
  // The seats keep their cards; the waiting screen hides them.
  t.Phase = PhaseWaitPeer;
}

}  // namespace kolbet
