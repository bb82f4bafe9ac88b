// Bytes that are not this program's, sent at a host and at a search: they
// change nothing, and a connection that sends them is closed.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "platform/session_wire.h"
#include "tests/free_port.h"
#include "tests/net_fixtures.h"

using namespace kolbet;
using namespace kolbet::test;

namespace {

using Texts = std::vector<std::string>;
using wire::Bytes;

Bytes Random(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const wire::TIdentity Kolbet = *wire::ParseGuid(KolbetGUID);

}  // namespace

TEST(SessionHostile, StrangeConnectionsAndDatagramsChangeNothing) {
  const std::uint16_t port = FreePort();
  Side host(QuickSettings(port));
  host.Play.SelectTransport(TcpIpProvider);
  host.Play.CreateSession("Wirt", "Sepp");

  const Bytes request = wire::EncodeSearchRequest(Kolbet);
  const auto answer = wire::DecodeSessionAnswer(Ask(port, request).data(), Ask(port, request).size());
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->Name, "Wirt");
  wire::THello hello{Kolbet, answer->Session, "Raw"};
  const Bytes goodHello = wire::EncodeHello(hello);

  Bytes wrongMagic = goodHello;
  wrongMagic[5] = 'X';
  Bytes wrongVersion = goodHello;
  wrongVersion[9] = 2;
  Bytes foreignRequest = request;
  foreignRequest[7] ^= 1;
  Bytes requestWrongMagic = request;
  requestWrongMagic[0] = 'X';
  Bytes requestWrongVersion = request;
  requestWrongVersion[4] = 9;

  // Each connection is closed by the host; a truncated frame when the greeting time is over.
  // A hello with a malformed frame behind it in the same segment never got in.
  const Bytes connections[] = {
      Concat(goodHello, {0x02, 0x00, 0x01, 0x00, 4}),
      wrongMagic,
      wrongVersion,
      {0xFF, 0xFF, 0xFF, 0xFF, 1},             // length far over the limit
      {0x02, 0x00, 0x01, 0x00, 1, 2},          // 65538: just over
      {0, 0, 0, 0},                            // no type at all
      Bytes(goodHello.begin(), goodHello.end() - 3),  // truncated
      wire::EncodeFrame(wire::FrameType::Message, Random(20, 1).data(), 20),  // not a greeting
      Random(5000, 2),
  };
  for (const Bytes& bytes : connections) {
    const int fd = Connect(port);
    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    EXPECT_TRUE(ClosedWithin(fd, 2s)) << bytes.size();
    close(fd);
  }
  PumpFor(100ms);
  EXPECT_EQ(host.Events, Texts{"add Sepp"});  // the game was told of none of them
  // Datagrams: no answer, except to the one right question.
  const Bytes datagrams[] = {requestWrongMagic, requestWrongVersion, foreignRequest,
                             Bytes(request.begin(), request.end() - 1), Concat(request, {0}),
                             wire::EncodeSessionAnswer(*answer), Random(1400, 3), Random(65000, 4), {}};
  for (const Bytes& datagram : datagrams) EXPECT_TRUE(Ask(port, datagram).empty()) << datagram.size();

  // A stranger that greets properly but then breaks the framing has left.
  const int fd = Connect(port);
  send(fd, goodHello.data(), goodHello.size(), MSG_NOSIGNAL);
  ASSERT_TRUE(PumpUntil([&] { return host.Events.size() == 2; }));
  const Bytes oversize = {0x00, 0x00, 0x10, 0x00, 4};
  send(fd, oversize.data(), oversize.size(), MSG_NOSIGNAL);
  Bytes welcome;
  EXPECT_TRUE(ClosedWithin(fd, 2s, &welcome));
  close(fd);
  ASSERT_GT(welcome.size(), 5u);
  EXPECT_EQ(welcome[4], static_cast<std::uint8_t>(wire::FrameType::Welcome));
  EXPECT_TRUE(PumpUntil([&] { return host.Events.size() == 3; }));

  // The host is as it was: listed, joinable, and the session carries messages.
  Side guest(QuickSettings(port));
  EXPECT_EQ(guest.Search("127.0.0.1"), Texts{"Wirt"});
  guest.Play.JoinSession("Wirt", "Xaver");
  guest.Send("Servus");
  EXPECT_TRUE(PumpUntil([&] { return host.Events.size() == 5; }));
  EXPECT_EQ(host.Events, (Texts{"add Sepp", "add Raw", "del Raw", "add Xaver", "msg Xaver Servus"}));
}

// A machine that answers a search with everything but a proper answer, and one proper one last.
TEST(SessionHostile, SearchListsOnlyProperAnswers) {
  const std::uint16_t port = FreePort();
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in address = Loopback(port);
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

  wire::TSessionAnswer proper{Kolbet, {1}, 1, 2, "Echt"};
  wire::TSessionAnswer foreign = proper;
  foreign.Application[0] ^= 1;
  foreign.Name = "Fremd";
  wire::TSessionAnswer full = proper;
  full.Session = {2};
  full.Players = 2;
  full.Name = "Voll";
  Bytes wrongVersion = wire::EncodeSessionAnswer(proper);
  wrongVersion[4] = 7;
  const Bytes properBytes = wire::EncodeSessionAnswer(proper);
  const Bytes replies[] = {wire::EncodeSessionAnswer(foreign), wire::EncodeSessionAnswer(full), wrongVersion,
                           Bytes(properBytes.begin(), properBytes.end() - 1), Concat(properBytes, {0}),
                           wire::EncodeSearchRequest(Kolbet), Random(900, 5), properBytes, properBytes};
  std::thread fake([&] {
    std::uint8_t buffer[2048];
    sockaddr_in from{};
    socklen_t size = sizeof from;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 3000) <= 0) return;
    recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
    for (const Bytes& reply : replies)
      sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr*>(&from), size);
  });
  Side seeker(QuickSettings(port));
  EXPECT_EQ(seeker.Search("127.0.0.1"), Texts{"Echt"});
  fake.join();
  close(fd);
}
