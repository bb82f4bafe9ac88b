// Any messages of the peer, handed to DXPlay1Message on a dealt table in any
// phase, as host or as guest. After each message the table must still be one
// the game can hold: no card twice among the ten hand slots and the two trick
// cards, every card within -1..31, tricks 0..5, the phase one of 1..12.
//
// Input: a byte for the phase, a byte of flags (host, network game, first
// trick), four bytes of the dealing seed, then messages, each led by its
// length byte.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "game/game.h"
#include "net/game_messages.h"
#include "rules/cards.h"
#include "rules/deal.h"

using namespace kolbet;

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckTable(const TTable& t) {
  std::array<bool, CardCount> seen{};
  for (const TSeat* seat : {&t.PlayerSeat, &t.OpponentSeat}) {
    for (int card : {seat->Hand[0], seat->Hand[1], seat->Hand[2], seat->Hand[3], seat->Hand[4], seat->TrickCard}) {
      Require(card == NoCard || IsCard(card));
      if (card == NoCard) continue;
      Require(!seen[card]);
      seen[card] = true;
    }
    Require(seat->Tricks >= 0 && seat->Tricks <= 5);
  }
  Require(t.Phase >= PhaseLead && t.Phase <= PhaseNetFollow);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  TGame game;
  game.Table.NetworkGame = (data[1] & 2) != 0;
  game.IsHost = (data[1] & 1) != 0;
  game.Settings.TrumpfoderNarrisch = (data[1] & 4) != 0;
  game.Random.Seed = std::uint32_t(data[2]) | std::uint32_t(data[3]) << 8 | std::uint32_t(data[4]) << 16 |
                     std::uint32_t(data[5]) << 24;
  Geben(game);
  game.Table.Phase = PhaseLead + data[0] % 12;
  CheckTable(game.Table);

  std::size_t at = 6;
  while (at < size) {
    const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
    ++at;
    DXPlay1Message(game, data + at, length);
    CheckTable(game.Table);
    at += length;
  }
  return 0;
}
