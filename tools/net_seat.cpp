#include "tools/net_seat.h"

#include "game/phase_machine.h"
#include "net/game_messages.h"
#include "net/protocol.h"
#include "rules/cards.h"

namespace kolbet {

void TranscribedSession::Send(const std::uint8_t* data, std::size_t size) {
  transcript_.Message("send", data, size);
  session_.Send(data, size);
}

int NetSeat::HandsScored() const { return game_.Table.PlayerSeat.Points + game_.Table.OpponentSeat.Points; }

void NetSeat::Opened() {
  game_.Table.NeedsRedraw = true;
  game_.Table.NetworkGame = true;
  game_.Table.Phase = PhaseWaitPeer;
  transcript_.State(game_.Table);
  AfterHandler();
}

void NetSeat::PlayerEntered() {
  transcript_.Line("join");
  DXPlay1AddPlayer(game_);
  transcript_.State(game_.Table);
  AfterHandler();
  Play();
}

void NetSeat::PlayerLeft() {
  transcript_.Line("leave");
  DXPlay1DeletePlayer(game_);
  transcript_.State(game_.Table);
  AfterHandler();
}

void NetSeat::Message(const std::uint8_t* data, std::size_t size) {
  transcript_.Message("recv", data, size);
  DXPlay1Message(game_, data, size);
  transcript_.State(game_.Table);
  AfterHandler();
  // The host's table follows these commands at once; the guest's cards,
  // counts or announced card are not yet the new ones.
  if (!game_.IsHost && size >= CommandSize && MessageField(data, 0) == KindCommand) {
    const std::int32_t code = MessageField(data, 1);
    if (code == CmdAnnounceRank || code == CmdSuit || code == CmdYourLead) return;
  }
  Play();
}

void NetSeat::Press(int slot) {
  transcript_.Press(slot);
  OnTablePress(game_, slot);
  transcript_.State(game_.Table);
  AfterHandler();
}

void NetSeat::AfterHandler() {
  if (game_.IsHost && HandsScored() >= hands_) finished_ = true;
}

void NetSeat::Play() {
  const TTable& t = game_.Table;
  while (!finished_ && t.Phase >= PhaseNetAnnounceRank && t.Phase <= PhaseNetFollow) {
    int slot = 0;
    while (slot < 5 && t.PlayerSeat.Hand[slot] == NoCard) ++slot;
    if (slot == 5) return;
    const int phase = t.Phase;
    Press(slot);
    if (finished_ || phase != PhaseNetFollow || t.Phase != PhaseNetFollow) continue;
    // Refused by the first-trick rule: a trump is held, so it is played.
    int trump = 0;
    while (trump < 5 && !IsTrump(t.PlayerSeat.Hand[trump], t.AnnouncedCard)) ++trump;
    if (trump == 5) return;
    Press(trump);
    if (t.Phase == PhaseNetFollow) return;  // cannot happen; no endless pressing
  }
}

}  // namespace kolbet
