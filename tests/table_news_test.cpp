// The table's news for a screen reader.

#include <gtest/gtest.h>

#include "game/table_news.h"
#include "tests/test_game.h"

namespace kolbet {
namespace {

using News = std::vector<std::string>;

TEST(TableNews, TellsEachMomentOfAHandOnceAndInTheOrderItIsSeen) {
  TTableSight lead;
  test::SetLeadHand(lead.Table);
  const auto after = [](TTableSight sight, const auto& change) {
    change(sight.Table, sight.Line);
    return sight;
  };
  const TTableSight led = after(lead, [](TTable& t, std::string&) {
    t.PlayerSeat.TrickCard = 3;
    t.OpponentSeat.TrickCard = 0;
  });
  const TTableSight lost = after(led, [](TTable& t, std::string&) {
    t.PlayerSeat.TrickCard = t.OpponentSeat.TrickCard = NoCard;
    t.OpponentSeat.Tricks = 1;
    t.Phase = PhaseFollow;
  });
  const TTableSight answered = after(lost, [](TTable& t, std::string&) { t.OpponentSeat.TrickCard = 1; });
  const TTableSight handEnd = after(lost, [](TTable& t, std::string& line) {
    t.PlayerSeat.Tricks = 1;
    t.PlayerSeat.Points = 4;
    line = "Des Spuell ghert dir";
  });
  const TTableSight dealt = after(handEnd, [](TTable& t, std::string& line) {
    t.PlayerSeat.Tricks = t.OpponentSeat.Tricks = 0;
    t.AnnouncedCard = NoCard;
    t.Phase = PhaseAnnounceSuit;
    line = "Schloch: Kini";
  });
  const TTableSight named = after(dealt, [](TTable& t, std::string& line) {
    t.AnnouncedCard = 30;
    t.OpponentSeat.TrickCard = 7;
    t.Phase = PhaseFollowTrump;
    line.clear();
  });
  TTableSight title;
  TTableSight waiting = after(title, [](TTable& t, std::string&) { t.Phase = PhaseWaitPeer; });
  TTableSight netWait = after(lead, [](TTable& t, std::string& line) {
    t.Phase = PhaseNetWait;
    line = "Da Ondre is dro";
  });
  const std::tuple<const char*, TTableSight, TTableSight, News> cases[] = {
      {"nothing changed", lead, lead, {}},
      {"the player led", lead, led, {"Du: Gria Zirna", "Gegner: Gria Sima"}},
      {"the trick lost", led, lost, {"Da Stich ghert am Ondern", "Du muast ei`schmiern"}},
      {"the computer led", lost, answered, {"Gegner: Gria Ochta"}},
      {"the hand's end", lost, handEnd, {"Da Stich ghert dir", "Des Spuell ghert dir", "Punkt: du 4, Gegner 0"}},
      {"a new deal", handEnd, dealt, {"Schloch: Kini", "Soch d`Forb oh"}},
      {"the suit named", dealt, named, {"Aagsogt: Hirz Kini", "Gegner: Gria Sau", "Du muast ei`schmiern"}},
      {"a game from the title", title, lead, {"Aagsogt: Hirz Sau", "Du muast aaskoartn"}},
      {"the title", lead, title, {}},
      {"the waiting screen, once", title, waiting, {"I woat aafn Mitspuella"}},
      {"still waiting", waiting, waiting, {}},
      {"the other's turn", lead, netWait, {"Da Ondre is dro"}},
  };
  for (const auto& [what, before, now, news] : cases) EXPECT_EQ(TableNews(before, now), news) << what;
}

TEST(TableNews, SearchResults) {
  EXPECT_EQ(SearchWords({}), "Koa Spuell gfundn");
  EXPECT_EQ(SearchWords({"Sepp"}), "1 Spuell gfundn: Sepp");
  EXPECT_EQ(SearchWords({"Sepp", "Hansl"}), "2 Spuell gfundn: Sepp, Hansl");
}

}  // namespace
}  // namespace kolbet
