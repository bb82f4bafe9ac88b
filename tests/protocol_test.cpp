// Layout of the two network messages.

#include <gtest/gtest.h>

#include "net/protocol.h"

using namespace kolbet;

namespace {
std::int32_t Field(const std::uint8_t* message, int k) {
  const std::uint8_t* at = message + 4 * std::ptrdiff_t(k);
  return static_cast<std::int32_t>(at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24);
}
}  // namespace

TEST(Protocol, StatusCarriesOwnSeatFirstThenOpponentThenAnnounced) {
  TTable t;
  t.PlayerSeat = {{0, 1, 2, 3, -1}, 4, 5, 2, 123456};
  t.OpponentSeat = {{31, -1, 30, 29, 28}, -1, 7, 3, 1};
  t.AnnouncedCard = 12;
  const auto m = EncodeStatus(t);
  const std::int32_t expected[20] = {0, 0, 1, 2, 3, -1, 4, 5, 2, 123456, 31, -1, 30, 29, 28, -1, 7, 3, 1, 12};
  for (int k = 0; k < 20; ++k) EXPECT_EQ(Field(m.data(), k), expected[k]) << k;
  EXPECT_EQ(m[std::size_t{5} * 4], 0xFF);  // -1 little-endian
}

TEST(Protocol, CommandIsKindCodeArgument) {
  const auto m = EncodeCommand(CmdSound, -2);
  EXPECT_EQ(Field(m.data(), 0), 1);
  EXPECT_EQ(Field(m.data(), 1), 9);
  EXPECT_EQ(Field(m.data(), 2), -2);
}
