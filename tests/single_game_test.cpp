// A single game through the phase machine: deal, announcing, the first-trick
// rule both ways, scoring, and the rank announcer across hands and games.

#include <gtest/gtest.h>

#include "game/phase_machine.h"
#include "net/protocol.h"
#include "rules/cards.h"
#include "rules/deal.h"
#include "rules/scoring.h"
#include "rules/tricks.h"
#include "tests/test_game.h"

using namespace kolbet;
using kolbet::test::RecordingGame;
using Events = std::vector<std::string>;

namespace {

enum { Gria, Oachl, Schoelln, Hirz };
enum { Sima, Ochta, Neina, Zirna, Unta, Baua, Kini, Sau };
constexpr int C(int suit, int rank) { return MakeCard(suit, rank); }

void SetHands(TTable& t, std::array<std::int32_t, 5> player, std::array<std::int32_t, 5> opponent) {
  t.PlayerSeat.Hand = player;
  t.OpponentSeat.Hand = opponent;
  t.PlayerSeat.TrickCard = t.OpponentSeat.TrickCard = NoCard;
  t.PlayerSeat.Tricks = t.OpponentSeat.Tricks = 0;
}

}  // namespace

TEST(PhasePrompt, TextsPerPhase) {
  EXPECT_EQ(PhasePrompt(PhaseLead), "Du muast aaskoartn");
  EXPECT_EQ(PhasePrompt(PhaseNetLead), "Du muast aaskoartn");
  for (int phase : {PhaseFollow, PhaseFollowTrump, PhaseNetFollow}) EXPECT_EQ(PhasePrompt(phase), "Du muast ei`schmiern");
  EXPECT_EQ(PhasePrompt(PhaseAnnounceRank), "Soch`n Schloch oh");
  EXPECT_EQ(PhasePrompt(PhaseNetAnnounceSuit), "Soch d`Forb oh");
  for (int phase : {0, PhaseTitle, PhaseWaitPeer, PhaseNetWait, 13, -1}) EXPECT_EQ(PhasePrompt(phase), "");
}

TEST(Deal, DrawsAlternatelyAndSkipsDealtCards) {
  RecordingGame g;
  g.game.Random.Seed = 1;  // draws of 32: 1 27 6 8 21 10 5 11 13 2 ...
  Geben(g.game);
  const TTable& t = g.game.Table;
  EXPECT_EQ(t.PlayerSeat.Hand, (std::array<std::int32_t, 5>{1, 6, 21, 5, 13}));
  EXPECT_EQ(t.OpponentSeat.Hand, (std::array<std::int32_t, 5>{27, 8, 10, 11, 2}));
  EXPECT_EQ(t.AnnouncedCard, NoCard);
  EXPECT_TRUE(t.PlayerAnnouncesRank);
  EXPECT_EQ(t.Phase, PhaseAnnounceRank);
  // The pause comes first and the screen is drawn once the hands are dealt.
  EXPECT_EQ(g.log, (Events{"pause 2000", "frame", "sound 43 start"}));

  // A deal never repeats a card, whatever the seed.
  for (std::uint32_t seed = 0; seed < 2000; ++seed) {
    RecordingGame h;
    h.game.Random.Seed = seed * 7919u;
    Geben(h.game);
    std::array<bool, 32> seen{};
    for (const TSeat* seat : {&h.game.Table.PlayerSeat, &h.game.Table.OpponentSeat})
      for (int card : seat->Hand) {
        ASSERT_TRUE(IsCard(card));
        ASSERT_FALSE(seen[card]);
        seen[card] = true;
      }
  }
}

TEST(Deal, PointsSurviveAndTheAnnouncerAlternatesAcrossGames) {
  RecordingGame g;
  TTable& t = g.game.Table;
  t.PlayerSeat.Points = 4;
  t.OpponentSeat.Points = 6;

  StartSingleGame(g.game);
  EXPECT_EQ(t.Phase, PhaseAnnounceRank);  // the first deal after start: the player names the rank

  // Back to the menu in the middle of the hand, then a new game: the computer names the rank.
  BackToMenu(g.game);
  EXPECT_EQ(t.Phase, PhaseTitle);
  EXPECT_EQ(g.Events().back(), "sound 43 start");  // no session to close in a single game
  g.log.clear();
  StartSingleGame(g.game);
  EXPECT_EQ(t.Phase, PhaseAnnounceSuit);
  const int rank = t.OpponentSeat.ChosenRank;
  EXPECT_EQ(g.Events(), (Events{"pause 2000", "sound " + std::to_string(45 + rank) + " wait", "sound 44 start"}));
  EXPECT_EQ(t.PlayerSeat.Points, 4);
  EXPECT_EQ(t.OpponentSeat.Points, 6);

  StartSingleGame(g.game);
  EXPECT_EQ(t.Phase, PhaseAnnounceRank);
}

TEST(Deal, PlayerNamesRankThenComputerNamesSuit) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  TTable& t = g.game.Table;
  t.Phase = PhaseAnnounceRank;
  SetHands(t, {C(Gria, Baua), C(Hirz, Sima), C(Gria, Sau), C(Hirz, Zirna), C(Schoelln, Unta)},
           {C(Oachl, Sau), C(Oachl, Kini), C(Hirz, Ochta), C(Gria, Sima), C(Schoelln, Zirna)});
  OnTablePress(g.game, 0);
  EXPECT_EQ(t.AnnouncedCard, C(Oachl, Baua));
  EXPECT_EQ(t.Phase, PhaseLead);
  EXPECT_EQ(t.PlayerSeat.Hand[0], C(Gria, Baua));  // naming leaves the card in the hand
  EXPECT_EQ(g.Events(), (Events{"sound 50 wait", "sound 54 wait"}));
}

TEST(Deal, PlayerNamesSuitAndComputerLeadsAtOnce) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  TTable& t = g.game.Table;
  t.Phase = PhaseAnnounceSuit;
  t.OpponentSeat.ChosenRank = Zirna;
  SetHands(t, {C(Gria, Baua), C(Hirz, Sima), C(Gria, Sau), C(Hirz, Zirna), C(Schoelln, Unta)},
           {C(Oachl, Sau), C(Oachl, Kini), C(Hirz, Ochta), C(Gria, Zirna), C(Schoelln, Zirna)});
  OnTablePress(g.game, 1);
  EXPECT_EQ(t.AnnouncedCard, C(Hirz, Zirna));
  EXPECT_EQ(t.Phase, PhaseFollow);
  EXPECT_EQ(t.OpponentSeat.TrickCard, C(Oachl, Kini));  // its lowest value, 6
  // The suit is spoken to its end; the computer's card is only started.
  EXPECT_EQ(g.Events(), (Events{"sound 56 wait", "sound 14 start"}));
}

TEST(FirstTrickRule, ComputerLeadingTheAnnouncedCardBindsThePlayer) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  g.game.Settings.TrumpfoderNarrisch = true;
  TTable& t = g.game.Table;
  t.Phase = PhaseAnnounceSuit;
  t.OpponentSeat.ChosenRank = Unta;
  SetHands(t, {C(Gria, Sima), C(Oachl, Sau), C(Hirz, Baua), C(Gria, Kini), C(Schoelln, Neina)},
           {C(Hirz, Sima), C(Gria, Unta), C(Oachl, Ochta), C(Hirz, Zirna), C(Schoelln, Sau)});
  OnTablePress(g.game, 0);  // names Gria: the computer holds Gria Unta and must lead it
  EXPECT_EQ(t.OpponentSeat.TrickCard, C(Gria, Unta));
  EXPECT_EQ(t.Phase, PhaseFollowTrump);
  EXPECT_EQ(g.Events(), (Events{"sound 53 wait", "sound 77 wait"}));

  // A plain card is refused without a sound while a trump is held.
  g.log.clear();
  const TTable before = t;
  OnTablePress(g.game, 1);
  EXPECT_EQ(t.Phase, PhaseFollowTrump);
  EXPECT_EQ(t.PlayerSeat.Hand, before.PlayerSeat.Hand);
  EXPECT_TRUE(g.Events().empty());

  // Any trump is accepted, even one that loses.
  OnTablePress(g.game, 3);
  EXPECT_EQ(t.OpponentSeat.Tricks, 1);
  EXPECT_EQ(t.Phase, PhaseFollow);
  ASSERT_GE(g.Events().size(), 3u);
  EXPECT_EQ((Events{g.Events()[0], g.Events()[1], g.Events()[2]}),
            (Events{"sound 6 wait", "pause 500", "pause 1000"}));
}

TEST(FirstTrickRule, PlayerWithoutTrumpMayAnswerAnyCard) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  g.game.Settings.TrumpfoderNarrisch = true;
  TTable& t = g.game.Table;
  SetHands(t, {C(Oachl, Sau), C(Hirz, Baua), C(Schoelln, Neina), C(Oachl, Zirna), C(Hirz, Ochta)},
           {C(Hirz, Sima), NoCard, C(Oachl, Ochta), C(Hirz, Zirna), C(Schoelln, Sau)});
  t.AnnouncedCard = C(Gria, Unta);
  t.OpponentSeat.TrickCard = C(Gria, Unta);
  t.Phase = PhaseFollowTrump;
  OnTablePress(g.game, 2);
  EXPECT_EQ(t.PlayerSeat.Hand[2], NoCard);
  EXPECT_EQ(t.OpponentSeat.Tricks, 1);
  EXPECT_EQ(g.Events().front(), "sound 18 wait");
}

TEST(FirstTrickRule, PlayerLeadingTheAnnouncedCardBindsTheComputer) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  g.game.Settings.TrumpfoderNarrisch = true;
  TTable& t = g.game.Table;
  t.Phase = PhaseLead;
  t.AnnouncedCard = C(Gria, Unta);
  // The computer holds no top card: it must answer with its cheapest trump.
  SetHands(t, {C(Gria, Unta), C(Hirz, Baua), C(Schoelln, Neina), C(Oachl, Zirna), C(Hirz, Ochta)},
           {C(Hirz, Sima), C(Gria, Sau), C(Oachl, Ochta), C(Hirz, Unta), C(Schoelln, Sau)});
  g.game.Random.Seed = 3;
  OnTablePress(g.game, 0);
  const Events events = g.Events();
  // Item 77 in place of the card's own name; the answer is Gria Sau (15), a
  // trump that loses, so the player takes the trick and the computer curses.
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0], "sound 77 wait");
  EXPECT_EQ(events[1], "sound 7 wait");
  EXPECT_EQ(events[2], "pause 1000");
  EXPECT_EQ(t.PlayerSeat.Tricks, 1);
  EXPECT_EQ(t.Phase, PhaseLead);
  const int curse = std::stoi(events[3].substr(6));
  EXPECT_TRUE((curse >= 32 && curse <= 41) || (curse >= 70 && curse <= 76)) << curse;
}

TEST(FirstTrickRule, OnlyTheAnnouncedCardInTheFirstTrickWithTheOptionOn) {
  const auto leadAnnounced = [](bool option, int tricksBefore) {
    RecordingGame g;
    g.game.Settings.Skill = 4;
    g.game.Settings.TrumpfoderNarrisch = option;
    TTable& t = g.game.Table;
    t.Phase = PhaseLead;
    t.AnnouncedCard = C(Gria, Unta);
    SetHands(t, {C(Gria, Unta), C(Hirz, Baua), C(Schoelln, Neina), C(Oachl, Zirna), C(Hirz, Ochta)},
             {C(Hirz, Sima), C(Gria, Sau), C(Oachl, Ochta), C(Hirz, Unta), C(Schoelln, Sau)});
    t.PlayerSeat.Tricks = tricksBefore;
    OnTablePress(g.game, 0);
    return g.Events().front();
  };
  EXPECT_EQ(leadAnnounced(false, 0), "sound 4 wait");
  EXPECT_EQ(leadAnnounced(true, 1), "sound 4 wait");
  EXPECT_EQ(leadAnnounced(true, 0), "sound 77 wait");
}

TEST(Tricks, PacingOfATrickTheComputerTakes) {
  RecordingGame g;
  g.game.Settings.Skill = 4;
  TTable& t = g.game.Table;
  t.Phase = PhaseLead;
  t.AnnouncedCard = C(Gria, Unta);
  SetHands(t, {C(Hirz, Zirna), C(Hirz, Baua), C(Schoelln, Neina), C(Oachl, Zirna), C(Hirz, Ochta)},
           {C(Hirz, Sima), 30, C(Oachl, Ochta), C(Hirz, Sau), C(Schoelln, Sau)});
  OnTablePress(g.game, 0);
  // Led, answered with a close card (boast), both shown for a second, then the
  // emptied table for a second before the computer leads its lowest card.
  EXPECT_EQ(g.log, (Events{"sound 27 wait", "sound 42 wait", "sound 31 wait", "frame", "pause 1000", "frame",
                           "pause 1000", "sound 24 wait"}));
  EXPECT_EQ(t.Phase, PhaseFollow);
  EXPECT_EQ(t.OpponentSeat.Tricks, 1);
  EXPECT_EQ(t.PlayerSeat.TrickCard, NoCard);
  EXPECT_EQ(t.OpponentSeat.TrickCard, C(Hirz, Sima));
}

// Each of the 17 draws names its own curse: 32 to 41, then 70 to 76.
TEST(Tricks, EveryDrawOfTheCurseNamesItsItem) {
  const int curses[17] = {32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 70, 71, 72, 73, 74, 75, 76};
  for (int r = 0; r < 17; ++r) {
    RecordingGame g;
    g.game.Random.Seed = kolbet::test::SeedDrawing(17, r);
    EXPECT_EQ(RandomCurse(g.game), curses[r]) << "draw " << r;
  }
}

TEST(Tricks, PressesThatDoNothing) {
  RecordingGame g;
  TTable& t = g.game.Table;
  t.Phase = PhaseLead;
  t.AnnouncedCard = C(Gria, Unta);
  SetHands(t, {NoCard, C(Hirz, Baua), C(Schoelln, Neina), C(Oachl, Zirna), C(Hirz, Ochta)},
           {C(Hirz, Sima), 30, C(Oachl, Ochta), C(Hirz, Sau), NoCard});
  t.PlayerSeat.Tricks = 1;
  for (int slot : {-1, 0, 5, 99}) OnTablePress(g.game, slot);
  for (int phase : {PhaseTitle, PhaseWaitPeer, PhaseNetWait, 0, 42}) {
    t.Phase = phase;
    OnTablePress(g.game, 1);
  }
  EXPECT_TRUE(g.Events().empty());
  EXPECT_EQ(t.PlayerSeat.Hand[1], C(Hirz, Baua));
}

TEST(Scoring, OnePointPerHandAndAPhraseOnlyWhenTheComputerWins) {
  for (auto [player, opponent] : {std::pair{3, 2}, {5, 0}, {2, 3}, {0, 5}}) {
    RecordingGame g;
    TTable& t = g.game.Table;
    t.Phase = PhaseLead;
    t.PlayerSeat.Tricks = player;
    t.OpponentSeat.Tricks = opponent;
    SchauObFirti(g.game);
    const Events events = g.Events();
    const bool computerWon = opponent > player;
    EXPECT_EQ(t.PlayerSeat.Points, computerWon ? 0 : 1);
    EXPECT_EQ(t.OpponentSeat.Points, computerWon ? 1 : 0);
    ASSERT_GE(events.size(), 3u);
    size_t next = 0;
    if (computerWon) {
      const int phrase = std::stoi(events[next++].substr(6));
      EXPECT_GE(phrase, 58);
      EXPECT_LE(phrase, 69);
    }
    EXPECT_EQ(events[next++], "pause 1000");
    EXPECT_EQ(events[next++], "pause 2000");  // and the next deal
    EXPECT_EQ(t.PlayerSeat.Tricks + t.OpponentSeat.Tricks, 0);
    EXPECT_EQ(g.log.front(), "frame");
  }
}

// What was only spoken stays on the table: the hand's result, with its point
// already counted when it shows, until the next deal; the rank the computer
// named until the player names the suit.
TEST(Scoring, TheResultAndTheComputersRankShowAsLines) {
  RecordingGame g;
  TTable& t = g.game.Table;
  Events lines;
  int pointsAtFirstFrame = -1;
  g.game.Line = [&](std::string_view line) { lines.emplace_back(line); };
  g.game.Frame = [&] {
    if (pointsAtFirstFrame < 0) pointsAtFirstFrame = t.OpponentSeat.Points;
  };
  t.Phase = PhaseLead;
  t.PlayerSeat.Tricks = 1;
  t.OpponentSeat.Tricks = 4;
  t.PlayerAnnouncesRank = true;  // flips: the computer names the next rank
  SchauObFirti(g.game);
  EXPECT_EQ(pointsAtFirstFrame, 1);
  EXPECT_EQ(lines, (Events{"Des Spuell ghert am Ondern", "",
                           "Schloch: " + std::string(RankNames[t.OpponentSeat.ChosenRank])}));
  PlayerNamesSuit(g.game, 0);
  EXPECT_EQ(lines.back(), "");
}

TEST(Scoring, NothingBeforeTheFifthTrickNorOnTheGuest) {
  RecordingGame g;
  TTable& t = g.game.Table;
  t.PlayerSeat.Tricks = 2;
  t.OpponentSeat.Tricks = 2;
  SchauObFirti(g.game);
  EXPECT_TRUE(g.log.empty());

  t.OpponentSeat.Tricks = 3;
  t.NetworkGame = true;
  g.game.IsHost = false;
  SchauObFirti(g.game);
  EXPECT_TRUE(g.log.empty());
  EXPECT_EQ(t.OpponentSeat.Points, 0);
}

TEST(Scoring, HostSendsThePointThenDealsWithCommandBeforeStatus) {
  RecordingGame g;
  TTable& t = g.game.Table;
  t.NetworkGame = true;
  g.game.IsHost = true;
  t.PlayerSeat.Tricks = 1;
  t.OpponentSeat.Tricks = 4;
  t.PlayerAnnouncesRank = true;  // flips to false: the guest names the rank
  SchauObFirti(g.game);
  EXPECT_EQ(t.OpponentSeat.Points, 1);
  EXPECT_EQ(g.Events(), (Events{"send 80", "pause 1000", "pause 2000", "send 12", "send 80"}));
  EXPECT_EQ(t.Phase, PhaseNetWait);
  const auto& command = g.session.messages[1];
  EXPECT_EQ(command[0], KindCommand);
  EXPECT_EQ(command[4], CmdAnnounceRank);
  // The point reached the guest in the first status: the host's opponent seat.
  EXPECT_EQ(g.session.messages[0][72], 1);
}

TEST(Menu, BackToTheMenuClosesAnOpenSession) {
  RecordingGame g;
  g.game.Table.NetworkGame = true;
  g.game.Table.Phase = PhaseNetLead;
  BackToMenu(g.game);
  EXPECT_EQ(g.Events(), (Events{"close"}));
  EXPECT_FALSE(g.game.Table.NetworkGame);
  EXPECT_EQ(g.game.Table.Phase, PhaseTitle);
}
