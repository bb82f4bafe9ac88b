#pragma once
// One seat of a network game played headless by a fixed policy: the events of
// the session go through the game's own handlers, and every message, sound,
// pause, press and table state is written into the transcript. Knows nothing
// of the session service; kolbet-sim connects it to one.

#include <cstddef>
#include <cstdint>

#include "game/game.h"
#include "tools/sim_driver.h"

namespace kolbet {

// Writes every message into the transcript as it goes out, then sends it on.
class TranscribedSession final : public SessionPort {
 public:
  TranscribedSession(SessionPort& session, Transcript& transcript) : session_(session), transcript_(transcript) {}
  void Send(const std::uint8_t* data, std::size_t size) override;
  void Close() override { session_.Close(); }

 private:
  SessionPort& session_;
  Transcript& transcript_;
};

// The policy, after every event handled and after every press: in phases 9
// to 12 the lowest slot holding a card is pressed; in phase 12, when that card
// was refused, the lowest trump. A guest waits for the host's table after the
// commands that come just before one (the call to name the rank, the suit and
// the call to lead). A host is finished once it has scored `hands` hands.
class NetSeat {
 public:
  NetSeat(TGame& game, Transcript& transcript, int hands) : game_(game), transcript_(transcript), hands_(hands) {}

  // The session was created or joined: the table waits for the other player.
  void Opened();
  // The other player entered or left (game.IsHost is the session's by now).
  void PlayerEntered();
  void PlayerLeft();
  // A message of the other player.
  void Message(const std::uint8_t* data, std::size_t size);

  // The host has scored its hands and leaves now, before any further press.
  bool Finished() const { return finished_; }
  int HandsScored() const;

 private:
  void Press(int slot);
  void AfterHandler();
  void Play();

  TGame& game_;
  Transcript& transcript_;
  int hands_;
  bool finished_ = false;
};

}  // namespace kolbet
