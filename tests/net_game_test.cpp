// Network games between two tables wired to each other in memory: the moves of
// phases 9 to 12, every command as the receiver takes it, malformed messages,
// players entering and leaving, and the first-trick rule of network games.

#include <gtest/gtest.h>

#include "game/phase_machine.h"
#include "net/game_messages.h"
#include "net/protocol.h"
#include "rules/cards.h"
#include "tests/test_game.h"
#include "tools/net_seat.h"

using namespace kolbet;
using kolbet::test::RecordingGame;
using Events = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

namespace {

enum { Gria, Oachl, Schoelln, Hirz };
enum { Sima, Ochta, Neina, Zirna, Unta, Baua, Kini, Sau };
constexpr int C(int suit, int rank) { return MakeCard(suit, rank); }

std::string Describe(const Bytes& m) {
  if (m.size() == StatusSize) return "status";
  const auto field = [&](int k) { return static_cast<std::int32_t>(m[4 * std::size_t(k)] | m[4 * std::size_t(k) + 1] << 8 | m[4 * std::size_t(k) + 2] << 16 | m[4 * std::size_t(k) + 3] << 24); };
  return "cmd " + std::to_string(field(1)) + " " + std::to_string(field(2));
}

// One side of the link: what it sends is written into its log and kept with
// the sender's table at that moment.
struct LinkedSession final : SessionPort {
  RecordingGame* side = nullptr;
  struct Sent {
    Bytes bytes;
    TTable table;
  };
  std::vector<Sent> sent;
  void Send(const std::uint8_t* data, std::size_t size) override {
    sent.push_back({Bytes(data, data + size), side->game.Table});
    side->log.push_back("send " + Describe(sent.back().bytes));
  }
  void Close() override { side->log.push_back("close"); }
};

// A host and a guest in a session, each played by kolbet-sim's seat policy;
// the host leaves once it has scored one hand.
struct Link {
  RecordingGame host, guest;
  LinkedSession hostSession, guestSession;
  std::string hostText, guestText;
  Transcript hostTranscript{&hostText}, guestTranscript{&guestText};
  NetSeat hostSeat{host.game, hostTranscript, 1}, guestSeat{guest.game, guestTranscript, 1};
  std::size_t hostDelivered = 0, guestDelivered = 0;
  Events wire;  // "H cmd 8 0", "G cmd 3 1", "H status", in the order delivered

  Link() {
    hostSession.side = &host;
    guestSession.side = &guest;
    host.game.Session = &hostSession;
    guest.game.Session = &guestSession;
    host.game.IsHost = true;
    hostSeat.Opened();
    guestSeat.Opened();
  }

  // Delivers what was sent, in order, until both sides are quiet or the host
  // has left. After every status the guest's table is the host's at the
  // moment it sent it, with the seats swapped.
  void Pump() {
    for (;;) {
      if (hostDelivered < hostSession.sent.size()) {
        const LinkedSession::Sent m = hostSession.sent[hostDelivered++];
        wire.push_back("H " + Describe(m.bytes));
        guestSeat.Message(m.bytes.data(), m.bytes.size());
        if (m.bytes.size() == StatusSize) {
          const TTable& g = guest.game.Table;
          EXPECT_EQ(g.PlayerSeat, m.table.OpponentSeat);
          EXPECT_EQ(g.OpponentSeat, m.table.PlayerSeat);
          EXPECT_EQ(g.AnnouncedCard, m.table.AnnouncedCard);
        }
      } else if (guestDelivered < guestSession.sent.size() && !hostSeat.Finished()) {
        const LinkedSession::Sent m = guestSession.sent[guestDelivered++];
        wire.push_back("G " + Describe(m.bytes));
        hostSeat.Message(m.bytes.data(), m.bytes.size());
      } else {
        return;
      }
    }
  }
};

Bytes Status(std::array<std::int32_t, 19> fields) {
  TTable t;
  t.PlayerSeat = {{fields[0], fields[1], fields[2], fields[3], fields[4]}, fields[5], fields[6], fields[7], fields[8]};
  t.OpponentSeat = {{fields[9], fields[10], fields[11], fields[12], fields[13]}, fields[14], fields[15], fields[16], fields[17]};
  t.AnnouncedCard = fields[18];
  const auto m = EncodeStatus(t);
  return Bytes(m.begin(), m.end());
}

Bytes Command(std::int32_t code, std::int32_t argument) {
  const auto m = EncodeCommand(code, argument);
  return Bytes(m.begin(), m.end());
}

void Receive(TGame& game, const Bytes& m) { DXPlay1Message(game, m.data(), m.size()); }

// The log with each send told by what it sent.
Events Log(const RecordingGame& g) {
  Events events;
  std::size_t next = 0;
  for (const std::string& entry : g.log)
    events.push_back(entry.rfind("send ", 0) == 0 ? "send " + Describe(g.session.messages.at(next++)) : entry);
  return events;
}

// The parts of a table a message may change.
void ExpectSameTable(const TTable& a, const TTable& b) {
  EXPECT_EQ(a.PlayerSeat, b.PlayerSeat);
  EXPECT_EQ(a.OpponentSeat, b.OpponentSeat);
  EXPECT_EQ(a.Phase, b.Phase);
  EXPECT_EQ(a.AnnouncedCard, b.AnnouncedCard);
  EXPECT_EQ(a.RemoteRank, b.RemoteRank);
}

}  // namespace

// A whole hand as the two sides play it, with every message in the order the
// protocol gives; then the host scores, sends the point and deals again. The
// deal of seed 1 gives the host 1 6 21 5 13 and the guest 27 8 10 11 2.
TEST(NetGame, WholeHandInBothAnnouncingOrders) {
  struct Case {
    bool hostNamesRank;
    Events wire;
    Events hostLines, guestLines;
  };
  const Case cases[] = {
      {true,
       {"H cmd 8 0", "H status",                                  // the host names the rank
        "H cmd 1 1", "G cmd 3 3", "H status",                     // Oachl... Hirz Ochta announced
        "H status", "H cmd 5 1", "G cmd 7 0", "H status",         // the host keeps the first trick
        "H status", "H cmd 5 6", "G cmd 7 1", "H cmd 4 0", "H status",  // the guest takes it
        "G cmd 6 2", "H status", "H cmd 7 2", "H cmd 4 0", "H status",
        "G cmd 6 3", "H status", "H cmd 7 3", "H cmd 4 0", "H status",
        "G cmd 6 4", "H status", "H cmd 7 4", "H cmd 4 0", "H status",
        "H status",                                               // the point
        "H cmd 0 0", "H status"},                                 // next deal: the guest names the rank
       {"", "", "Des Spuell ghert am Ondern", ""},
       {"", "Schloch: Ochta", "", "Des Spuell ghert dir", ""}},
      {false,
       {"H cmd 0 0", "H status",
        "G cmd 2 3", "H cmd 3 0", "H status",                     // Gria Zirna announced
        "G cmd 6 0", "H status", "H cmd 7 0", "H cmd 4 0", "H status",
        "G cmd 6 1", "H status", "H cmd 7 1", "H cmd 4 0", "H status",
        "G cmd 6 2", "H status", "H cmd 7 2", "H cmd 4 0", "H status",
        "G cmd 6 3", "H status", "H cmd 7 3", "H cmd 4 0", "H status",
        "G cmd 6 4", "H status", "H cmd 7 4", "H cmd 4 0", "H status",
        "H status", "H cmd 8 0", "H status"},
       {"", "Schloch: Zirna", "", "Des Spuell ghert am Ondern", ""},
       {"", "", "Des Spuell ghert dir", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hostNamesRank ? "host names the rank" : "guest names the rank");
    Link l;
    Events hostLines, guestLines;
    l.host.game.Line = [&](std::string_view line) { hostLines.emplace_back(line); };
    l.guest.game.Line = [&](std::string_view line) { guestLines.emplace_back(line); };
    l.host.game.Random.Seed = 1;
    l.host.game.Table.PlayerAnnouncesRank = !c.hostNamesRank;  // flipped by the deal
    l.host.game.Table.PlayerSeat.Points = 7;                    // cleared when the guest enters
    l.hostSeat.PlayerEntered();
    l.Pump();
    const TTable& h = l.host.game.Table;
    EXPECT_TRUE(l.hostSeat.Finished());
    EXPECT_EQ(l.wire, c.wire);
    EXPECT_EQ(h.PlayerSeat.Points + h.OpponentSeat.Points, 1);
    // The host left right after dealing; a guest that names the rank next did
    // so into the closed session.
    EXPECT_EQ(h.Phase, c.hostNamesRank ? PhaseNetWait : PhaseNetAnnounceRank);
    EXPECT_EQ(l.guest.game.Table.Phase, PhaseNetWait);
    EXPECT_EQ(l.guestSession.sent.size() - l.guestDelivered, c.hostNamesRank ? 1u : 0u);
    // The guest never pauses, deals or scores: its table comes from the host.
    for (const std::string& entry : l.guest.log) EXPECT_NE(entry.substr(0, 5), "pause");
    EXPECT_EQ(l.guest.game.Random.Seed, 0u);
    // Each side sees the rank the other named until the suit is named, and
    // the hand's result until the next deal.
    EXPECT_EQ(hostLines, c.hostLines);
    EXPECT_EQ(guestLines, c.guestLines);
  }
}

// The sounds of the announcing and the first trick: the calls, the names of
// rank and suit, and each card sounding to its end where it is placed and
// only started where it is led.
TEST(NetGame, SoundsOfTheAnnouncingAndTheFirstTrick) {
  Link l;
  l.host.game.Random.Seed = 1;
  l.hostSeat.PlayerEntered();  // the host names the rank
  l.Pump();
  const Events host = l.host.Events(), guest = l.guest.Events();
  EXPECT_EQ(Events(host.begin(), host.begin() + 13),
            (Events{"pause 2000", "sound 43 start", "send cmd 8 0", "send status",
                    "send cmd 1 1", "sound 46 start",                // names Ochta
                    "sound 56 start", "send status",                 // hears Hirz
                    "send status", "send cmd 5 1", "sound 1 start",  // leads
                    "sound 27 wait", "send status"}));               // the answer
  EXPECT_EQ(Events(guest.begin(), guest.begin() + 7),
            (Events{"sound 46 wait", "sound 44 start", "send cmd 3 3", "sound 56 start", "sound 1 start",
                    "send cmd 7 0", "sound 27 wait"}));
}

// Every command code as the receiving side takes it, on a table in the middle
// of a hand: the host holds 0 9 18 27 4, the guest 1 10 19 28 5, Oachl Unta is
// announced and the host keeps Kini as the named rank.
TEST(NetGame, EveryCommandAsTheReceiverTakesIt) {
  struct Row {
    const char* what;
    bool onHost;
    int hostLed;  // card the host put into the trick, or -1
    Bytes message;
    Events events;
    int phase;
    std::function<void(const TTable&)> check;
  };
  const auto none = [](const TTable&) {};
  const Row rows[] = {
      {"guest names the rank", false, -1, Command(CmdAnnounceRank, 0), {"sound 43 start"}, PhaseNetAnnounceRank, none},
      {"host named Zirna", false, -1, Command(CmdHostRank, Zirna), {"sound 48 wait", "sound 44 start"}, PhaseNetAnnounceSuit, none},
      {"guest named Zirna", true, -1, Command(CmdGuestRank, Zirna), {"sound 48 wait", "sound 44 start"}, PhaseNetAnnounceSuit,
       [](const TTable& t) { EXPECT_EQ(t.RemoteRank, Zirna); }},
      {"host hears the suit", true, -1, Command(CmdSuit, Schoelln), {"sound 55 start", "send status"}, PhaseNetLead,
       [](const TTable& t) { EXPECT_EQ(t.AnnouncedCard, C(Schoelln, Kini)); }},
      {"guest hears the suit", false, -1, Command(CmdSuit, Schoelln), {"sound 55 start"}, PhaseNetLead,
       [](const TTable& t) { EXPECT_EQ(t.AnnouncedCard, C(Oachl, Unta)); }},
      {"guest leads next", false, -1, Command(CmdYourLead, 0), {}, PhaseNetLead, none},
      {"host led Schölln Baua", false, -1, Command(CmdHostLead, 21), {"sound 21 start"}, PhaseNetFollow, none},
      {"guest led slot 1", true, -1, Command(CmdGuestLead, 1), {"send status", "sound 10 wait"}, PhaseNetFollow,
       [](const TTable& t) {
         EXPECT_EQ(t.OpponentSeat.TrickCard, 10);
         EXPECT_EQ(t.OpponentSeat.Hand[1], NoCard);
       }},
      {"a guest ignores a guest's lead", false, -1, Command(CmdGuestLead, 1), {}, PhaseNetWait,
       [](const TTable& t) { EXPECT_EQ(t.OpponentSeat.Hand[1], 9); }},
      {"guest answers and loses", true, 0, Command(CmdAnswer, 2), {"frame", "sound 19 wait", "send status"}, PhaseNetLead,
       [](const TTable& t) {
         EXPECT_EQ(t.PlayerSeat.Tricks, 1);
         EXPECT_EQ(t.OpponentSeat.Hand[2], NoCard);
         EXPECT_EQ(t.PlayerSeat.TrickCard, NoCard);
         EXPECT_EQ(t.OpponentSeat.TrickCard, NoCard);
       }},
      {"guest answers with a trump and wins", true, 0, Command(CmdAnswer, 1),
       {"frame", "sound 10 wait", "send cmd 4 0", "send status"}, PhaseNetWait,
       [](const TTable& t) { EXPECT_EQ(t.OpponentSeat.Tricks, 1); }},
      {"guest sees the host's answer", false, -1, Command(CmdAnswer, 2), {"frame", "sound 18 wait"}, PhaseNetWait,
       [](const TTable& t) {
         EXPECT_EQ(t.OpponentSeat.TrickCard, 18);
         EXPECT_EQ(t.OpponentSeat.Tricks + t.PlayerSeat.Tricks, 0);
       }},
      {"host names the rank itself", false, -1, Command(CmdWait, 0), {}, PhaseNetWait, none},
      {"a phrase", false, -1, Command(CmdSound, 63), {"sound 63 start"}, PhaseNetWait, none},
      {"the bank's last item", true, -1, Command(CmdSound, 77), {"sound 77 start"}, PhaseNetWait, none},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RecordingGame g;
    TTable& t = g.game.Table;
    g.game.IsHost = row.onHost;
    t.NetworkGame = true;
    t.Phase = PhaseNetWait;
    t.RemoteRank = Kini;
    t.AnnouncedCard = C(Oachl, Unta);
    const std::array<std::int32_t, 5> hostHand{0, 9, 18, 27, 4}, guestHand{1, 10, 19, 28, 5};
    t.PlayerSeat.Hand = row.onHost ? hostHand : guestHand;
    t.OpponentSeat.Hand = row.onHost ? guestHand : hostHand;
    t.PlayerSeat.TrickCard = t.OpponentSeat.TrickCard = NoCard;
    if (row.hostLed != NoCard) {
      t.PlayerSeat.TrickCard = row.hostLed;
      t.PlayerSeat.Hand[0] = NoCard;
    }
    Receive(g.game, row.message);
    EXPECT_EQ(Log(g), row.events);
    EXPECT_EQ(t.Phase, row.phase);
    row.check(t);
  }
}

// A message that cannot be right changes nothing on either side: too short
// for its kind, of another kind or code, or naming a slot, rank, suit, card,
// sound or table that cannot be.
TEST(NetGame, MalformedMessagesChangeNothing) {
  const std::array<std::int32_t, 19> good{0, 9, 18, -1, -1, 27, 3, 1, 4,   // the sender's seat
                                          1, 10, -1, -1, -1, -1, 6, 2, 5,  // the receiver's seat
                                          12};
  const auto status = [&](int field, std::int32_t value) {
    auto fields = good;
    fields[field - 1] = value;
    return Status(fields);
  };
  const auto cut = [](Bytes m, std::size_t size) {
    m.resize(size);
    return m;
  };
  Bytes otherKind = Command(CmdSound, 3);
  otherKind[0] = 2;
  Bytes negativeKind = Command(CmdSound, 3);
  negativeKind[0] = negativeKind[1] = negativeKind[2] = negativeKind[3] = 0xFF;
  const std::pair<const char*, Bytes> messages[] = {
      {"empty", {}},
      {"three bytes", {0, 0, 0}},
      {"status of 79 bytes", cut(Status(good), 79)},
      {"command of 11 bytes", cut(Command(CmdSound, 3), 11)},
      {"kind 2", otherKind},
      {"kind -1", negativeKind},
      {"code 10", Command(10, 0)},
      {"code -1", Command(-1, 0)},
      {"rank 8", Command(CmdHostRank, 8)},
      {"rank -1", Command(CmdGuestRank, -1)},
      {"suit 4", Command(CmdSuit, 4)},
      {"suit -1", Command(CmdSuit, -1)},
      {"card 32", Command(CmdHostLead, 32)},
      {"card -1", Command(CmdHostLead, -1)},
      {"lead from slot 5", Command(CmdGuestLead, 5)},
      {"lead from slot -1", Command(CmdGuestLead, -1)},
      {"lead from an empty slot", Command(CmdGuestLead, 3)},
      {"answer from slot 5", Command(CmdAnswer, 5)},
      {"answer from slot -2147483648", Command(CmdAnswer, INT32_MIN)},
      {"answer from an empty slot", Command(CmdAnswer, 4)},
      {"sound 78", Command(CmdSound, 78)},
      {"sound -1", Command(CmdSound, -1)},
      {"status with card 32", status(2, 32)},
      {"status with card -2", status(11, -2)},
      {"status with a trick card 40", status(15, 40)},
      {"status with a card in both hands", status(11, 0)},
      {"status with a card in hand and trick", status(15, 18)},
      {"status with 6 tricks", status(8, 6)},
      {"status with -1 tricks", status(17, -1)},
      {"status with 1 and 5 tricks", status(17, 5)},
      {"status with -1 points", status(18, -1)},
      {"status with announced card 32", status(19, 32)},
  };
  for (bool onHost : {true, false}) {
    for (const auto& [what, message] : messages) {
      SCOPED_TRACE(std::string(onHost ? "host: " : "guest: ") + what);
      RecordingGame g;
      TTable& t = g.game.Table;
      g.game.IsHost = onHost;
      t.NetworkGame = true;
      t.Phase = PhaseNetWait;
      t.AnnouncedCard = C(Oachl, Unta);
      t.PlayerSeat = {{0, 9, 18, -1, -1}, 27, 0, 1, 4};
      t.OpponentSeat = {{1, 10, 19, -1, NoCard}, -1, 0, 2, 5};
      const TTable before = t;
      DXPlay1Message(g.game, message.empty() ? nullptr : message.data(), message.size());
      ExpectSameTable(t, before);
      EXPECT_EQ(g.log, Events{});
    }
  }

  // A longer status is read by its first 80 bytes; the same table otherwise
  // goes through, so the refusals above are of the one field each.
  RecordingGame g;
  Bytes longer = Status(good);
  longer.resize(100, 0xEE);
  Receive(g.game, longer);
  EXPECT_EQ(g.game.Table.PlayerSeat, (TSeat{{1, 10, -1, -1, -1}, -1, 6, 2, 5}));
  EXPECT_EQ(g.game.Table.AnnouncedCard, 12);

  // The bank the window loaded decides which sounds can be asked for.
  struct SmallBank final : SoundPort {
    Events played;
    void PlaySound(int item, bool) override { played.push_back(std::to_string(item)); }
    void StopSound(int) override {}
    int Count() const override { return 50; }
  } bank;
  g.game.Sound = &bank;
  Receive(g.game, Command(CmdSound, 50));
  Receive(g.game, Command(CmdSound, 49));
  EXPECT_EQ(bank.played, Events{"49"});

  // The end-of-hand check runs after a refused message as after any other.
  RecordingGame h;
  h.game.IsHost = true;
  h.game.Table.NetworkGame = true;
  h.game.Table.PlayerSeat.Tricks = 3;
  h.game.Table.OpponentSeat.Tricks = 2;
  Receive(h.game, Command(42, 0));
  EXPECT_EQ(h.game.Table.PlayerSeat.Points, 1);
  EXPECT_EQ(h.game.Table.Phase == PhaseNetWait || h.game.Table.Phase == PhaseNetAnnounceRank, true);
}

// Whatever arrives, in whatever order, on either side: no card is ever
// doubled or out of range, no sound beyond the bank is asked for, and the
// tricks of a hand never pass five.
TEST(NetGame, HostileMessagesKeepTheTableWhole) {
  for (bool onHost : {true, false}) {
    RecordingGame g;
    g.game.IsHost = true;  // deals, so that the table starts whole
    g.game.Table.NetworkGame = true;
    g.game.Random.Seed = 5;
    g.game.Table.Phase = PhaseWaitPeer;
    DXPlay1AddPlayer(g.game);
    g.game.IsHost = onHost;
    g.game.Table.Phase = PhaseNetWait;
    TRandom noise{onHost ? 11u : 12u};
    for (int i = 0; i < 20000; ++i) {
      Bytes m;
      if (RandomInt(noise, 4) == 0) {
        std::array<std::int32_t, 19> fields;
        for (auto& f : fields) f = RandomInt(noise, 36) - 2;
        m = Status(fields);
      } else {
        m = Command(RandomInt(noise, 12) - 1, RandomInt(noise, 82) - 2);
      }
      m.resize(RandomInt(noise, 8) == 0 ? RandomInt(noise, 90) : m.size());
      Receive(g.game, m);
      if (RandomInt(noise, 3) == 0) OnTablePress(g.game, RandomInt(noise, 6) - 1);
      const TTable& t = g.game.Table;
      std::array<bool, 32> seen{};
      for (const TSeat* seat : {&t.PlayerSeat, &t.OpponentSeat}) {
        for (int card : {seat->Hand[0], seat->Hand[1], seat->Hand[2], seat->Hand[3], seat->Hand[4], seat->TrickCard}) {
          if (card == NoCard) continue;
          ASSERT_TRUE(IsCard(card)) << i;
          ASSERT_FALSE(seen[card]) << i;
          seen[card] = true;
        }
      }
      ASSERT_LT(t.PlayerSeat.Tricks + t.OpponentSeat.Tricks, onHost ? 5 : 6) << i;
    }
    for (const std::string& entry : g.log) {
      if (entry.rfind("sound ", 0) != 0) continue;
      const int item = std::stoi(entry.substr(6));
      ASSERT_TRUE(item >= 0 && item < 78) << entry;
    }
  }
}

// A player leaving sends the other side back to waiting from any phase; a
// player entering deals only on a host that waits for one.
TEST(NetGame, PlayersEnteringAndLeaving) {
  for (int phase = 1; phase <= 12; ++phase) {
    RecordingGame g;
    g.game.Table.Phase = phase;
    g.game.Table.PlayerSeat.Hand = {3, 4, 5, -1, -1};
    const TTable before = g.game.Table;
    DXPlay1DeletePlayer(g.game);
    EXPECT_EQ(g.game.Table.Phase, PhaseWaitPeer);
    EXPECT_EQ(g.game.Table.PlayerSeat, before.PlayerSeat);
    EXPECT_EQ(g.log, Events{});
  }

  struct Row {
    const char* what;
    bool host;
    int phase;
    bool deals;
  };
  for (const Row& row : {Row{"a waiting host deals", true, PhaseWaitPeer, true},
                         Row{"the local player's report at the opening", true, PhaseTitle, false},
                         Row{"a host in a hand", true, PhaseNetWait, false},
                         Row{"a waiting guest", false, PhaseWaitPeer, false}}) {
    SCOPED_TRACE(row.what);
    RecordingGame g;
    TTable& t = g.game.Table;
    g.game.IsHost = row.host;
    t.NetworkGame = true;
    t.Phase = row.phase;
    t.PlayerSeat.Points = 3;
    t.OpponentSeat.Points = 4;
    DXPlay1AddPlayer(g.game);
    EXPECT_EQ(t.PlayerSeat.Points + t.OpponentSeat.Points, row.deals ? 0 : 7);
    EXPECT_EQ(Log(g), row.deals ? (Events{"pause 2000", "frame", "sound 43 start", "send cmd 8 0", "send status"})
                                : Events{});
    EXPECT_EQ(t.Phase, row.deals ? PhaseNetAnnounceRank : row.phase);
  }
}

// The first-trick rule binds both players of a network game: the announced
// card led first must be answered with a trump, unless the hand holds none.
TEST(NetGame, FirstTrickRule) {
  struct Row {
    const char* what;
    std::array<std::int32_t, 5> hand;
    int tricks;  // tricks the leader has taken already
    int led;
    bool accepted;
  };
  const int announced = C(Gria, Unta);
  const std::array<std::int32_t, 5> withTrump{C(Oachl, Sau), C(Hirz, Ochta), C(Gria, Zirna), -1, -1};
  const std::array<std::int32_t, 5> noTrump{C(Oachl, Sau), C(Hirz, Ochta), C(Schoelln, Zirna), -1, -1};
  const Row rows[] = {
      {"a plain card while a trump is held", withTrump, 0, announced, false},
      {"no trump held: any card", noTrump, 0, announced, true},
      {"another card led first", withTrump, 0, C(Gria, Sau), true},
      {"the announced card led to a later trick", withTrump, 1, announced, true},
  };
  for (bool onHost : {true, false}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(onHost ? "host: " : "guest: ") + row.what);
      RecordingGame g;
      TTable& t = g.game.Table;
      g.game.IsHost = onHost;
      t.NetworkGame = true;
      t.Phase = PhaseNetFollow;
      t.AnnouncedCard = announced;
      t.PlayerSeat.Hand = row.hand;
      t.PlayerSeat.TrickCard = NoCard;
      t.OpponentSeat = {{-1, -1, -1, -1, -1}, row.led, 0, row.tricks, 0};
      const TTable before = t;
      OnTablePress(g.game, 0);
      if (!row.accepted) {
        ExpectSameTable(t, before);
        EXPECT_EQ(g.log, Events{});
        OnTablePress(g.game, 2);  // the trump
      }
      EXPECT_EQ(Log(g)[0], row.accepted ? "send cmd 7 0" : "send cmd 7 2");
    }
  }

  // Leading the announced card first: the call sounds to its end here and is
  // sent to the peer before the lead. Led to a later trick, by either side,
  // it is a card like any other.
  for (int tricksTaken : {0, 1, 2}) {
    for (bool onHost : {true, false}) {
      SCOPED_TRACE(std::to_string(tricksTaken) + (onHost ? " host" : " guest"));
      RecordingGame g;
      g.game.IsHost = onHost;
      TTable& t = g.game.Table;
      t.NetworkGame = true;
      t.Phase = PhaseNetLead;
      t.AnnouncedCard = announced;
      t.PlayerSeat = {{C(Oachl, Sau), announced, -1, -1, -1}, -1, 0, tricksTaken % 2, 0};
      t.OpponentSeat = {{-1, -1, -1, -1, -1}, -1, 0, tricksTaken / 2, 0};
      OnTablePress(g.game, 1);
      const Events call = tricksTaken == 0 ? Events{"send cmd 9 77", "sound 77 wait"} : Events{};
      Events expected = onHost ? Events{"send status"} : Events{};
      expected.insert(expected.end(), call.begin(), call.end());
      expected.push_back(onHost ? "send cmd 5 4" : "send cmd 6 1");
      expected.push_back("sound 4 start");
      EXPECT_EQ(Log(g), expected);
      EXPECT_EQ(t.PlayerSeat.Hand[1], onHost ? NoCard : announced);  // a guest's card leaves with the host's table
      EXPECT_EQ(t.Phase, PhaseNetWait);
    }
  }
}
