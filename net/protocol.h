#pragma once
// The two messages two copies of the game exchange: the host's whole table
// (status, 80 bytes) and a move or turn hand-over (command, 12 bytes). Every
// field is a little-endian signed 32-bit integer; field 0 is the kind. What the
// receiving side does with each is in net/game_messages.h.

#include <array>
#include <cstdint>

#include "game/game.h"

namespace kolbet {

inline constexpr std::int32_t KindStatus = 0;
inline constexpr std::int32_t KindCommand = 1;
inline constexpr std::size_t StatusSize = 80;
inline constexpr std::size_t CommandSize = 12;

enum : std::int32_t {
  CmdAnnounceRank = 0,  // host: the guest names the rank
  CmdHostRank = 1,      // host named this rank
  CmdGuestRank = 2,     // guest named this rank
  CmdSuit = 3,          // the sender named this suit
  CmdYourLead = 4,      // host: the guest took the trick and leads
  CmdHostLead = 5,      // host led this card
  CmdGuestLead = 6,     // guest led the card of this slot
  CmdAnswer = 7,        // the sender answered with the card of this slot
  CmdWait = 8,          // host: it names the rank itself, the guest waits
  CmdSound = 9,         // start this sound item
};

// Field k of a message: the little-endian signed 32-bit integer at byte 4 * k.
// The caller makes sure that the message holds it.
inline std::int32_t MessageField(const std::uint8_t* data, int k) {
  const std::uint8_t* at = data + 4 * static_cast<std::ptrdiff_t>(k);
  return static_cast<std::int32_t>(std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 |
                                   std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24);
}

// The status message: kind, the sender's PlayerSeat, its OpponentSeat, AnnouncedCard.
std::array<std::uint8_t, StatusSize> EncodeStatus(const TTable& table);
std::array<std::uint8_t, CommandSize> EncodeCommand(std::int32_t code, std::int32_t argument);

// Send the table, or a command, to the peer; nothing happens without a session.
void SchickStatus(TGame& game);
void SendKolbetCommand(TGame& game, std::int32_t code, std::int32_t argument);

}  // namespace kolbet
