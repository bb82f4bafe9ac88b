#include "net/protocol.h"

namespace kolbet {

static void PutInt(std::uint8_t* at, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

static std::uint8_t* PutSeat(std::uint8_t* at, const TSeat& seat) {
  for (std::int32_t card : seat.Hand) {
    PutInt(at, card);
    at += 4;
  }
  for (std::int32_t field : {seat.TrickCard, seat.ChosenRank, seat.Tricks, seat.Points}) {
    PutInt(at, field);
    at += 4;
  }
  return at;
}

std::array<std::uint8_t, StatusSize> EncodeStatus(const TTable& table) {
  std::array<std::uint8_t, StatusSize> message{};
  PutInt(message.data(), KindStatus);
  std::uint8_t* at = PutSeat(message.data() + 4, table.PlayerSeat);
  at = PutSeat(at, table.OpponentSeat);
  PutInt(at, table.AnnouncedCard);
  return message;
}

std::array<std::uint8_t, CommandSize> EncodeCommand(std::int32_t code, std::int32_t argument) {
  std::array<std::uint8_t, CommandSize> message{};
  PutInt(message.data(), KindCommand);
  PutInt(message.data() + 4, code);
  PutInt(message.data() + 8, argument);
  return message;
}

void SchickStatus(TGame& game) {
  game.Table.NeedsRedraw = true;
  const auto message = EncodeStatus(game.Table);
  if (game.Session) game.Session->Send(message.data(), message.size());
}

void SendKolbetCommand(TGame& game, std::int32_t code, std::int32_t argument) {
  game.Table.NeedsRedraw = true;
  const auto message = EncodeCommand(code, argument);
  if (game.Session) game.Session->Send(message.data(), message.size());
}

}  // namespace kolbet
