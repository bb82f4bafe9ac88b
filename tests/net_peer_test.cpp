// The other player in a process of its own, with the program's own
// keep-alive timing: killed, stopped, and this side's main thread held.

#include <signal.h>

#include <thread>

#include <gtest/gtest.h>

#include "tests/free_port.h"
#include "tests/net_fixtures.h"

using namespace kolbet;
using namespace kolbet::test;

namespace {

using Texts = std::vector<std::string>;

// This process hosts "Wirt" on the port with the program's own timing; the peer joins it.
struct HostWithPeer {
  explicit HostWithPeer(std::uint16_t port) : Host([port] {
    TSessionSettings settings;
    settings.Port = port;
    return settings;
  }()), Peer({std::to_string(port), "join", "Wirt", "127.0.0.1"}) {
    Host.Play.SelectTransport(TcpIpProvider);
    Host.Play.CreateSession("Wirt", "Sepp");
    EXPECT_TRUE(PumpUntil([&] { return Host.Events.size() == 2; }));
    EXPECT_EQ(Host.Events, (Texts{"add Sepp", "add Peer"}));
  }
  Side Host;
  PeerProcess Peer;
};

}  // namespace

TEST(SessionKeepAlive, KilledPeerHasLeft) {
  HostWithPeer t(FreePort());
  t.Peer.Signal(SIGKILL);
  EXPECT_TRUE(PumpUntil([&] { return t.Host.Events.size() == 3; }, 3s));
  EXPECT_EQ(t.Host.Events.back(), "del Peer");
}

TEST(SessionKeepAlive, StoppedPeerHasLeftWithinTenSeconds) {
  HostWithPeer t(FreePort());
  t.Peer.Signal(SIGSTOP);
  EXPECT_TRUE(PumpUntil([&] { return t.Host.Events.size() == 3; }, 10s));
  EXPECT_EQ(t.Host.Events.back(), "del Peer");
  t.Peer.Signal(SIGCONT);
}

// A pause of the game holds the main thread; the transport's thread answers
// for it meanwhile, and what arrived then is handed over afterwards.
TEST(SessionKeepAlive, SideWithItsMainThreadHeldIsNotDropped) {
  HostWithPeer t(FreePort());
  t.Peer.Tell("send 48616c6c6f");  // "Hallo"
  std::this_thread::sleep_for(12s);
  EXPECT_TRUE(PumpUntil([&] { return t.Host.Events.size() >= 3; }));
  t.Host.Send("Servus");
  EXPECT_TRUE(PumpUntil([&] { return t.Peer.Wrote("msg 536572767573"); }));
  PumpFor(300ms);
  EXPECT_EQ(t.Host.Events, (Texts{"add Sepp", "add Peer", "msg Peer Hallo"}));
  EXPECT_EQ(t.Peer.Lines(), (Texts{"open guest", "msg 536572767573"}));
}
