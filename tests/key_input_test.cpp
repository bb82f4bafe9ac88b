// The key selection at the table and the table told in words.

#include <gtest/gtest.h>

#include "game/key_input.h"
#include "game/table_text.h"
#include "tests/test_game.h"

namespace kolbet {
namespace {

TEST(KeySelection, MovesOverTheCardsWrappingAndSpeaksEachNameCuttingOffTheLast) {
  test::RecordingGame r;
  test::SetLeadHand(r.game.Table);
  r.game.Table.PlayerSeat.Hand = {3, NoCard, 20, NoCard, 13};
  TKeySelection selection;
  const std::tuple<TTableKey, int, std::vector<std::string>> steps[] = {
      {TTableKey::Previous, 4, {"sound 13 start"}},         {TTableKey::Next, 0, {"stop 13", "sound 3 start"}},
      {TTableKey::Next, 2, {"stop 3", "sound 20 start"}},   {TTableKey::Card4, 2, {}},  // three cards left
      {TTableKey::Card3, 4, {"stop 20", "sound 13 start"}},  // the 3rd card from the left, in slot 4
      {TTableKey::Card1, 0, {"stop 13", "sound 3 start"}},
  };
  for (const auto& [key, slot, log] : steps) {
    r.log.clear();
    TableKeyPressed(r.game, selection, key);
    EXPECT_EQ(ShownSlot(r.game.Table, selection), slot);
    EXPECT_EQ(r.Events(), log);
  }
  // Play is the press on the slot: the card is led and spoken to its end.
  r.log.clear();
  TableKeyPressed(r.game, selection, TTableKey::Play);
  EXPECT_EQ(r.game.Table.PlayerSeat.Hand[0], NoCard);
  EXPECT_EQ(r.Events().at(0), "sound 3 wait");
  EXPECT_EQ(ShownSlot(r.game.Table, selection), -1);
}

TEST(KeySelection, TakenAtTheTableButNeverOnTheTitleOrTheWaitingScreen) {
  for (int phase = PhaseLead; phase <= PhaseNetFollow; ++phase) {
    test::RecordingGame r;
    test::SetLeadHand(r.game.Table);
    r.game.Table.Phase = phase;
    TKeySelection selection;
    const bool table = phase != PhaseTitle && phase != PhaseWaitPeer;
    EXPECT_EQ(TableKeyPressed(r.game, selection, TTableKey::Next), table) << phase;
    EXPECT_EQ(ShownSlot(r.game.Table, selection), table ? 0 : -1) << phase;
    EXPECT_EQ(r.Events().empty(), !table) << phase << ": the card is spoken only at the table";
  }
}

TEST(TableText, TellsWhatIsSeenAndOnlyCountsTheOpponentsCards) {
  TTable t;
  test::SetLeadHand(t);
  t.Phase = PhaseFollow;
  t.PlayerSeat.Hand = {3, NoCard, 20, 27, NoCard};
  t.OpponentSeat.Hand = {NoCard, 1, 2, NoCard, NoCard};
  t.OpponentSeat.TrickCard = 5;
  t.OpponentSeat.Points = 3;
  t.PlayerSeat.Tricks = 2;
  // The cards numbered as they lie from the left, as the digit keys pick
  // them; the spoken line under the prompt, as on the table.
  EXPECT_EQ(TableLines(t, 2, "Da Ondre is dro"),
            (std::vector<std::string>{"Du muast ei`schmiern", "Da Ondre is dro", "Im Stich: Gegner Gria Baua",
                                      "Aagsogt: Hirz Sau", "Ausgwöhlt: 2 Schölln Unta",
                                      "Dei Koartn: 1 Gria Zirna, 2 Schölln Unta, 3 Hirz Zirna",
                                      "Gegner: 2 Koartn, 0 Stich, 3 Punkt", "Du: 2 Stich, 0 Punkt"}));
  t.Phase = PhaseWaitPeer;
  EXPECT_EQ(TableLines(t, -1), std::vector<std::string>{"I woat aafn Mitspuella"});
}

}  // namespace
}  // namespace kolbet
