// Whole games through the simulator's press path, checked against the rules
// that must hold after every press, over many seeds, skills and both settings.

#include <gtest/gtest.h>

#include <sstream>

#include "rules/cards.h"
#include "tools/sim_driver.h"

using namespace kolbet;

namespace {

struct StateLine {
  int phase = 0, announced = 0;
  int hand[2][5]{}, trick[2]{}, tricks[2]{}, points[2]{};
};

StateLine ParseState(const std::string& line) {
  std::istringstream in(line);
  std::string word, seatMark;
  StateLine s;
  in >> word >> s.phase >> s.announced;
  for (int seat = 0; seat < 2; ++seat) {
    in >> seatMark;
    EXPECT_EQ(seatMark, seat == 0 ? "P" : "O");
    for (int& card : s.hand[seat]) in >> card;
    in >> s.trick[seat] >> s.tricks[seat] >> s.points[seat];
  }
  EXPECT_TRUE(in && in.peek() == EOF) << line;
  return s;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Transcribe(const SimOptions& options) {
  std::string text;
  Transcript transcript(&text);
  RunSimulation(options, transcript);
  transcript.Flush();
  return text;
}

void CheckState(const StateLine& s, const std::string& line) {
  SCOPED_TRACE(line);
  ASSERT_TRUE(s.phase == PhaseLead || s.phase == PhaseFollow || s.phase == PhaseAnnounceRank ||
              s.phase == PhaseAnnounceSuit || s.phase == PhaseFollowTrump);
  EXPECT_EQ(s.announced == NoCard, s.phase == PhaseAnnounceRank || s.phase == PhaseAnnounceSuit);
  const int finished = s.tricks[0] + s.tricks[1];
  EXPECT_LT(finished, 5);  // a finished hand is dealt again inside the same press
  std::array<bool, 32> seen{};
  for (int seat = 0; seat < 2; ++seat) {
    int held = 0;
    for (int card : s.hand[seat]) {
      if (card == NoCard) continue;
      ASSERT_TRUE(IsCard(card));
      EXPECT_FALSE(seen[card]);
      seen[card] = true;
      ++held;
    }
    if (s.trick[seat] != NoCard) {
      EXPECT_FALSE(seen[s.trick[seat]]);
      seen[s.trick[seat]] = true;
    }
    EXPECT_EQ(held + (s.trick[seat] != NoCard), 5 - finished);
  }
  // Between presses only the computer's led card can lie on the table.
  EXPECT_EQ(s.trick[0], NoCard);
  EXPECT_EQ(s.trick[1] != NoCard, s.phase == PhaseFollow || s.phase == PhaseFollowTrump);
  if (s.phase == PhaseFollowTrump) {
    EXPECT_EQ(s.trick[1], s.announced);
    EXPECT_EQ(finished, 0);
  }
}

}  // namespace

TEST(Simulation, EveryStateKeepsTheRules) {
  for (int rule = 0; rule < 2; ++rule) {
    for (int skill : {0, 1, 2, 3, 4, 7, -1}) {
      for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SimOptions options;
        options.Seed = seed * 2654435761u;
        options.Skill = skill;
        options.TrumpfoderNarrisch = rule == 1;
        options.Hands = 4;
        const auto lines = Lines(Transcribe(options));
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[0].rfind("name ", 0), 0u);
        EXPECT_EQ(lines[1], "pause 2000");
        int pointsSeen = 0;
        for (size_t i = 2; i + 1 < lines.size(); ++i) {
          const std::string& line = lines[i];
          if (line.rfind("state ", 0) == 0) {
            const StateLine s = ParseState(line);
            CheckState(s, line);
            // The points only grow, one hand at a time.
            const int points = s.points[0] + s.points[1];
            EXPECT_TRUE(points == pointsSeen || points == pointsSeen + 1) << line;
            pointsSeen = points;
          } else if (line.rfind("sound ", 0) == 0) {
            const int item = std::stoi(line.substr(6));
            EXPECT_TRUE(item >= 0 && item <= 77) << line;
            EXPECT_NE(item, 57);
          } else if (line.rfind("pause ", 0) == 0) {
            EXPECT_TRUE(line == "pause 500" || line == "pause 1000" || line == "pause 2000") << line;
          } else {
            EXPECT_EQ(line.rfind("press ", 0), 0u) << line;
          }
        }
        EXPECT_EQ(pointsSeen, 4);
        EXPECT_EQ(lines.back().rfind("end P ", 0), 0u);
      }
    }
  }
}

TEST(Simulation, EqualOptionsGiveEqualTranscripts) {
  SimOptions options;
  options.Seed = 1;
  options.Skill = 2;
  options.TrumpfoderNarrisch = true;
  options.Hands = 5;
  const std::string first = Transcribe(options);
  EXPECT_EQ(first, Transcribe(options));
  options.Seed = 2;
  EXPECT_NE(first, Transcribe(options));
}

TEST(Simulation, RankAnnouncerAlternatesFromHandToHand) {
  SimOptions options;
  options.Seed = 99;
  options.Hands = 6;
  int deals = 0;
  bool expectPlayer = true;
  bool afterDeal = false;
  for (const auto& line : Lines(Transcribe(options))) {
    if (line == "pause 2000") afterDeal = true;
    if (afterDeal && line.rfind("state ", 0) == 0) {
      const StateLine s = ParseState(line);
      EXPECT_EQ(s.phase, expectPlayer ? PhaseAnnounceRank : PhaseAnnounceSuit);
      expectPlayer = !expectPlayer;
      afterDeal = false;
      ++deals;
    }
  }
  EXPECT_EQ(deals, 7);  // the first hand, and one after each of the six scored
}
