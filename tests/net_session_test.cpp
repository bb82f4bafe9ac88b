// The session service between services of this process, over loopback:
// search, join, messages, a full session, leaving and host migration.

#include <gtest/gtest.h>

#include <thread>

#include <QTcpServer>

#include "tests/free_port.h"
#include "tests/net_fixtures.h"

using namespace kolbet;
using namespace kolbet::test;

namespace {

using Texts = std::vector<std::string>;

void ExpectFailure(const std::function<void()>& call, const std::string& text) {
  try {
    call();
    ADD_FAILURE() << "no failure, expected \"" << text << '"';
  } catch (const SessionError& error) {
    EXPECT_EQ(error.what(), text);
  }
}

// A host "Wirt" (player "Sepp") and a guest "Xaver" that has joined it.
struct Table {
  explicit Table(std::uint16_t port) : Port(port), Host(QuickSettings(port)), Guest(QuickSettings(port)) {
    Host.Play.SelectTransport(TcpIpProvider, " ");
    Host.Play.CreateSession("Wirt", "Sepp");
    EXPECT_EQ(Guest.Search("127.0.0.1"), Texts{"Wirt"});
    Guest.Play.JoinSession("wirt", "Xaver");
    EXPECT_TRUE(PumpUntil([&] { return Host.Events.size() == 2; }));
  }
  std::uint16_t Port;
  Side Host;
  Side Guest;
};

// Blocks of 4 to 93 bytes, each different.
std::string Numbered(int i) { return "m" + std::to_string(1000 + i) + std::string(static_cast<std::size_t>(i % 89), '.'); }

}  // namespace

TEST(SessionService, FailsWithItsTextsAndStaysClosed) {
  const std::uint16_t port = FreePort();
  Side side(QuickSettings(port));
  TDXPlay& play = side.Play;
  QTcpServer blocker;
  const std::string provider = "Provider of specified GUID is not found";
  const std::string list = "Session list cannot be acquired";
  const struct {
    std::function<void()> call;
    std::string text;
  } cases[] = {
      {[&] { play.SelectTransport(IpxProvider); }, provider},
      {[&] { play.SelectTransport("{00000000-0000-0000-0000-000000000000}"); }, provider},
      {[&] { play.SearchSessions(); }, list},  // no transport after a failed select
      {[&] { play.CreateSession("Wirt", "Sepp"); }, "Session Wirt cannot be opened"},
      {[&] { side.Search("no-such-host.invalid"); }, list},
      {[&] { play.CreateSession("", "Sepp"); }, "Session name is not specified"},
      {[&] { play.CreateSession("Wirt", ""); }, "Player name is not specified"},
      {[&] { play.JoinSession("Nirgends", "Sepp"); }, "Session 'Nirgends' not found"},
      {[&] {
         ASSERT_TRUE(blocker.listen(QHostAddress::Any, port));
         play.CreateSession("Wirt", "Sepp");
       },
       "Session Wirt cannot be opened"},
  };
  play.SelectTransport(TcpIpProvider);  // the first case closes it again
  for (const auto& c : cases) {
    ExpectFailure(c.call, c.text);
    EXPECT_FALSE(play.SessionOpen());
  }
  blocker.close();
  const std::uint8_t bytes[12] = {1};
  play.Send(bytes, sizeof bytes);  // no session: nothing happens
  play.CreateSession("Wirt", "Sepp");
  ExpectFailure([&] { play.Send(bytes, 3); }, "The message form is illegal");
  EXPECT_EQ(side.Events, Texts{"add Sepp"});
}

TEST(SessionService, SearchListsOpenSessionsOfThisGameOnly) {
  const std::uint16_t port = FreePort();
  std::uint16_t otherPort = FreePort();
  while (otherPort == port) otherPort = FreePort();
  Side host(QuickSettings(port));
  host.Play.SelectTransport(TcpIpProvider);
  host.Play.CreateSession("Wirt", "Sepp");
  EXPECT_TRUE(host.Play.IsHost());
  EXPECT_EQ(host.Events, Texts{"add Sepp"});  // the local player, once

  TSessionSettings foreign = QuickSettings(otherPort);
  foreign.GUID = "{11111111-2222-3333-4444-555555555555}";
  Side stranger(foreign);
  stranger.Play.SelectTransport(TcpIpProvider);
  stranger.Play.CreateSession("Fremd", "Fritz");

  Side seeker(QuickSettings(port));
  for (const char* machine : {" ", "", "127.0.0.1", "localhost", "::1"})
    EXPECT_EQ(seeker.Search(machine), Texts{"Wirt"}) << '"' << machine << '"';
  ExpectFailure([&] { seeker.Play.JoinSession("WIRT", ""); }, "Player name is not specified");

  Side other(QuickSettings(otherPort));
  for (const char* machine : {" ", "127.0.0.1"}) EXPECT_EQ(other.Search(machine), Texts{}) << machine;
}

TEST(SessionService, MessagesArriveWholeOnceAndInOrderBothWays) {
  Table t(FreePort());
  EXPECT_EQ(t.Host.Events, (Texts{"add Sepp", "add Xaver"}));
  EXPECT_EQ(t.Guest.Events, Texts{"add Xaver"});
  EXPECT_FALSE(t.Guest.Play.IsHost());
  ASSERT_EQ(t.Guest.Play.RemotePlayers().size(), 1u);
  EXPECT_EQ(t.Guest.Play.RemotePlayers()[0].Name, "Sepp");

  Texts toGuest{"add Xaver"};
  Texts toHost = t.Host.Events;
  const std::string largest(65536, 'x');
  t.Host.Send(largest);
  toGuest.push_back("msg Sepp " + largest);
  for (int i = 0; i < 3000; ++i) {
    t.Host.Send(Numbered(i));
    toGuest.push_back("msg Sepp " + Numbered(i));
    if (i % 60 == 0) {
      t.Guest.Send(Numbered(i));
      toHost.push_back("msg Xaver " + Numbered(i));
    }
  }
  EXPECT_TRUE(PumpUntil([&] { return t.Guest.Events.size() >= toGuest.size() && t.Host.Events.size() >= toHost.size(); }));
  PumpFor(200ms);
  EXPECT_EQ(t.Guest.Events, toGuest);
  EXPECT_EQ(t.Host.Events, toHost);
}

TEST(SessionService, FullSessionIsNotListedAndRefusesAThird) {
  const std::uint16_t port = FreePort();
  Side late(QuickSettings(port));
  Side host(QuickSettings(port));
  host.Play.SelectTransport(TcpIpProvider);
  host.Play.CreateSession("Wirt", "Sepp");
  EXPECT_EQ(late.Search(" "), Texts{"Wirt"});  // listed while there is room

  Side guest(QuickSettings(port));
  EXPECT_EQ(guest.Search("127.0.0.1"), Texts{"Wirt"});
  guest.Play.JoinSession("Wirt", "Xaver");
  Side seeker(QuickSettings(port));
  EXPECT_EQ(seeker.Search(" "), Texts{});
  EXPECT_EQ(seeker.Search("127.0.0.1"), Texts{});

  ExpectFailure([&] { late.Play.JoinSession("Wirt", "Hans"); }, "Session Wirt cannot be opened");
  EXPECT_FALSE(late.Play.SessionOpen());
  guest.Send("noch da");
  EXPECT_TRUE(PumpUntil([&] { return host.Events.size() == 3; }));
  EXPECT_EQ(host.Events, (Texts{"add Sepp", "add Xaver", "msg Xaver noch da"}));
}

TEST(SessionService, WhatWasSentBeforeLeavingComesBeforeTheLeaving) {
  Table t(FreePort());
  Texts expected = t.Host.Events;
  for (int i = 0; i < 500; ++i) {
    t.Guest.Send(Numbered(i));
    expected.push_back("msg Xaver " + Numbered(i));
  }
  t.Guest.Play.Close();
  expected.push_back("del Xaver");
  EXPECT_TRUE(PumpUntil([&] { return t.Host.Events.size() >= expected.size(); }));
  EXPECT_EQ(t.Host.Events, expected);
  EXPECT_TRUE(t.Host.Play.IsHost());
  EXPECT_TRUE(t.Host.Play.RemotePlayers().empty());
  EXPECT_EQ(t.Guest.Events, Texts{"add Xaver"});  // its own leaving is not reported
  EXPECT_EQ(Side(QuickSettings(t.Port)).Search("127.0.0.1"), Texts{"Wirt"});  // room again
}

TEST(SessionService, GuestTakesOverWhenTheHostLeaves) {
  Table t(FreePort());
  Texts expected = t.Guest.Events;
  for (int i = 0; i < 100; ++i) {
    t.Host.Send(Numbered(i));
    expected.push_back("msg Sepp " + Numbered(i));
  }
  t.Host.Play.Close();
  expected.push_back("del Sepp");
  EXPECT_TRUE(PumpUntil([&] { return t.Guest.Events.size() >= expected.size(); }));
  EXPECT_EQ(t.Guest.Events, expected);
  EXPECT_TRUE(t.Guest.Play.IsHost());

  // The new host answers under the old name and takes the next player in.
  Side newcomer(QuickSettings(t.Port));
  ASSERT_TRUE(PumpUntil([&] { return newcomer.Search("127.0.0.1") == Texts{"Wirt"}; }, 3s));
  newcomer.Play.JoinSession("Wirt", "Hans");
  EXPECT_FALSE(newcomer.Play.IsHost());
  newcomer.Send("Servus");
  EXPECT_TRUE(PumpUntil([&] { return t.Guest.Events.size() >= expected.size() + 2; }));
  EXPECT_EQ(Texts(t.Guest.Events.end() - 2, t.Guest.Events.end()), (Texts{"add Hans", "msg Hans Servus"}));
  t.Guest.Send("Griass di");
  EXPECT_TRUE(PumpUntil([&] { return newcomer.Events.size() == 2; }));
  EXPECT_EQ(newcomer.Events, (Texts{"add Hans", "msg Xaver Griass di"}));
}

// The game is held (the pauses at the end of a hand) while its guest leaves
// and a new one joins: what the game sends before it has handled the leaving
// was meant for the guest that left and must not reach the new one.
TEST(SessionService, ANewPlayerGetsNothingMeantForTheOneBefore) {
  Table t(FreePort());
  t.Guest.Play.Close();
  Side newcomer(QuickSettings(t.Port));
  for (int i = 0; i < 20 && newcomer.Search("127.0.0.1").empty(); ++i) std::this_thread::sleep_for(50ms);
  newcomer.Play.JoinSession("Wirt", "Hans");  // no event is handed to the held game meanwhile
  t.Host.Send("alter");
  ASSERT_TRUE(PumpUntil([&] { return t.Host.Events.size() == 4; }));
  EXPECT_EQ(t.Host.Events, (Texts{"add Sepp", "add Xaver", "del Xaver", "add Hans"}));
  t.Host.Send("neuer");
  EXPECT_TRUE(PumpUntil([&] { return newcomer.Events.size() >= 2; }));
  PumpFor(100ms);
  EXPECT_EQ(newcomer.Events, (Texts{"add Hans", "msg Sepp neuer"}));
}

// The window shows a handler's error; the messages behind it still come, in order.
TEST(SessionService, AFailingHandlerHoldsNothingUp) {
  Table t(FreePort());
  t.Guest.Play.OnMessage = [&](TDXPlay&, const TDXPlayPlayer&, const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text == "kaputt") throw SessionError("Wave is invalid");
    t.Guest.Events.push_back(text);
  };
  t.Guest.Play.OnError = [&](const std::exception& error) { t.Guest.Events.push_back(error.what()); };
  for (const char* text : {"eins", "kaputt", "zwei", "drei"}) t.Host.Send(text);
  EXPECT_TRUE(PumpUntil([&] { return t.Guest.Events.size() == 5; }));
  EXPECT_EQ(t.Guest.Events, (Texts{"add Xaver", "eins", "Wave is invalid", "zwei", "drei"}));
}
