// The session's edges, seen from raw connections: hellos the host must
// refuse, the greeting's time and its eight places, frame lengths at the
// limit, a peer that reads nothing, and a host that never answers a join.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "tests/free_port.h"
#include "tests/net_fixtures.h"

using namespace kolbet;
using namespace kolbet::test;

namespace {

using Texts = std::vector<std::string>;
using wire::Bytes;
using Clock = std::chrono::steady_clock;

const wire::TIdentity Kolbet = *wire::ParseGuid(KolbetGUID);

// A host "Wirt" (player "Sepp") on a port of its own; its greeting time and
// keep-alive timeout far apart, so that a test can tell which one acted.
struct RawHost {
  RawHost(std::chrono::milliseconds handshake, std::chrono::milliseconds silence)
      : Port(FreePort()), Host([&] {
          TSessionSettings settings = QuickSettings(Port);
          settings.HandshakeTimeout = handshake;
          settings.KeepAliveTimeout = silence;
          return settings;
        }()) {
    Host.Play.SelectTransport(TcpIpProvider);
    Host.Play.CreateSession("Wirt", "Sepp");
    const Bytes answer = Ask(Port, wire::EncodeSearchRequest(Kolbet));
    Session = wire::DecodeSessionAnswer(answer.data(), answer.size()).value().Session;
  }
  Bytes Hello() const { return wire::EncodeHello({Kolbet, Session, "Raw"}); }

  // A raw joiner that has said hello and is in the session; its welcome read.
  int Join() {
    const int fd = Connect(Port);
    const Bytes hello = Hello();
    send(fd, hello.data(), hello.size(), MSG_NOSIGNAL);
    std::uint8_t welcome[64];
    pollfd p{fd, POLLIN, 0};
    EXPECT_GT(poll(&p, 1, 2000), 0);
    EXPECT_GT(recv(fd, welcome, sizeof welcome, 0), 5);
    EXPECT_EQ(welcome[4], static_cast<std::uint8_t>(wire::FrameType::Welcome));
    EXPECT_TRUE(PumpUntil([&] { return Host.Events.size() == 2; }));
    return fd;
  }

  std::uint16_t Port;
  Side Host;
  wire::TIdentity Session{};
};

// Nothing has arrived and the other side has not closed.
bool OpenNow(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) == 0;
}

void SendAll(int fd, const Bytes& bytes) { send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

}  // namespace

// Only a hello for this very session of this very game is welcomed; the
// others are told "not this session" and closed, and the game hears nothing.
TEST(SessionEdges, HellosForAnotherSessionOrGameAreRefused) {
  RawHost t(800ms, 5s);
  wire::THello otherSession{Kolbet, t.Session, "Raw"};
  otherSession.Session[15] ^= 1;
  wire::THello otherGame{Kolbet, t.Session, "Raw"};
  otherGame.Application[0] ^= 1;
  for (const wire::THello& hello : {otherSession, otherGame}) {
    const int fd = Connect(t.Port);
    SendAll(fd, wire::EncodeHello(hello));
    Bytes reply;
    EXPECT_TRUE(ClosedWithin(fd, 2s, &reply));
    EXPECT_EQ(reply, wire::EncodeRefused(wire::Refusal::OtherSession));
    close(fd);
  }
  PumpFor(100ms);
  EXPECT_EQ(t.Host.Events, Texts{"add Sepp"});
}

// A connection that says nothing is closed when the greeting time is over,
// long before the keep-alive timeout; of more than eight such connections
// at once the one that waited longest gives way to the newest.
TEST(SessionEdges, GreetingTimeAndPlaces) {
  RawHost t(1500ms, 20s);
  const int silent = Connect(t.Port);
  EXPECT_TRUE(ClosedWithin(silent, 4s));
  close(silent);

  std::vector<int> waiting;
  for (int i = 0; i < 8; ++i) {
    waiting.push_back(Connect(t.Port));
    std::this_thread::sleep_for(10ms);
  }
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(OpenNow(waiting.front())) << "eight connections have their places";
  waiting.push_back(Connect(t.Port));
  EXPECT_TRUE(ClosedWithin(waiting.front(), 500ms)) << "the ninth takes the oldest one's place";
  for (std::size_t i = 1; i < waiting.size(); ++i) EXPECT_TRUE(OpenNow(waiting[i])) << i;
  for (int fd : waiting) close(fd);
}

// On an open session a frame of the largest length arrives, and one longer by
// a single byte closes the connection at once, without waiting for its body.
TEST(SessionEdges, FrameLengthsAtTheLimit) {
  RawHost t(800ms, 20s);
  const int fd = t.Join();
  const Bytes largest(wire::MaxBlock, 'x');
  SendAll(fd, wire::EncodeFrame(wire::FrameType::Message, largest.data(), largest.size()));
  ASSERT_TRUE(PumpUntil([&] { return t.Host.Events.size() == 3; }));
  EXPECT_EQ(t.Host.Events.back(), "msg Raw " + std::string(largest.begin(), largest.end()));
  SendAll(fd, {0x02, 0x00, 0x01, 0x00, 4, 'x'});  // 65538
  EXPECT_TRUE(ClosedWithin(fd, 1s));
  EXPECT_TRUE(PumpUntil([&] { return t.Host.Events.size() == 4; }, 1s));
  EXPECT_EQ(t.Host.Events.back(), "del Raw");
  close(fd);
}

// A peer that stays and keeps talking but reads nothing is cut off once more
// than the unsent limit piles up for it, rather than let the host's memory grow.
TEST(SessionEdges, APeerThatReadsNothingIsCutOff) {
  RawHost t(800ms, 700ms);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const int small = 4096;
  setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  const sockaddr_in address = Loopback(t.Port);
  ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  SendAll(fd, t.Hello());
  ASSERT_TRUE(PumpUntil([&] { return t.Host.Events.size() == 2; }));
  const std::string block(wire::MaxBlock, 'x');
  for (int i = 0; i < 400; ++i) t.Host.Send(block);  // 25 MiB
  auto told = Clock::now();
  const Bytes keepAlive = wire::EncodeFrame(wire::FrameType::KeepAlive);
  EXPECT_TRUE(PumpUntil([&] {
    if (Clock::now() - told > 100ms) {
      SendAll(fd, keepAlive);
      told = Clock::now();
    }
    return t.Host.Events.size() == 3;
  }, 10s));
  EXPECT_EQ(t.Host.Events.back(), "del Raw");
  close(fd);
}

// A host that takes the connection and then says nothing (a stopped program):
// the join gives up after the greeting time with the service's text.
TEST(SessionEdges, AJoinThatIsNeverAnsweredFails) {
  const std::uint16_t port = FreePort();
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const int udp = socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in address = Loopback(port);
  ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);  // never accepted: the kernel alone answers
  ASSERT_EQ(bind(udp, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  std::atomic<bool> done = false;
  std::thread fake([&] {
    std::uint8_t buffer[2048];
    sockaddr_in from{};
    socklen_t size = sizeof from;
    pollfd p{udp, POLLIN, 0};
    if (poll(&p, 1, 3000) > 0) {
      recvfrom(udp, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
      const Bytes answer = wire::EncodeSessionAnswer({Kolbet, {7}, 1, 2, "Stumm"});
      sendto(udp, answer.data(), answer.size(), 0, reinterpret_cast<const sockaddr*>(&from), size);
    }
    // A join that never gives up is let go at last, so that the test ends.
    for (int i = 0; i < 300 && !done; ++i) std::this_thread::sleep_for(50ms);
    close(listener);
  });
  TSessionSettings settings = QuickSettings(port);
  settings.KeepAliveTimeout = 20s;
  Side joiner(settings);
  EXPECT_EQ(joiner.Search("127.0.0.1"), Texts{"Stumm"});
  const auto start = Clock::now();
  try {
    joiner.Play.JoinSession("Stumm", "Xaver");
    ADD_FAILURE() << "joined a host that never answered";
  } catch (const SessionError& error) {
    EXPECT_STREQ(error.what(), "Session Stumm cannot be opened");
  }
  EXPECT_LT(Clock::now() - start, 8s);
  done = true;
  fake.join();
  close(udp);
}
