#pragma once
// The receiving side of a network game: what a message of the peer does to
// the table, and what happens when a player enters or leaves the session.
//
// Every field of a message is checked before anything changes. A message that
// is too short for its kind, of an unknown kind or code, or that names a slot,
// rank, suit, card or sound item that cannot be, changes nothing; the
// end-of-hand check still runs after it as after every message.

#include <cstddef>
#include <cstdint>

#include "game/game.h"

namespace kolbet {

// A message from the peer, `size` bytes at `data`: the move or the table it
// carries, then the end-of-hand check. The caller has copied the session's
// host flag into game.IsHost.
void DXPlay1Message(TGame& game, const std::uint8_t* data, std::size_t size);

// A player entered the session: a host waiting for its second player clears
// both points and deals the first hand.
void DXPlay1AddPlayer(TGame& game);

// A player left the session: back to waiting, from whatever phase.
void DXPlay1DeletePlayer(TGame& game);

}  // namespace kolbet
