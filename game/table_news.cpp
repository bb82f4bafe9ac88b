#include "game/table_news.h"

#include "game/phase_machine.h"
#include "rules/cards.h"

namespace kolbet {

namespace {

bool IsTableScene(int phase) { return phase != PhaseTitle && phase != PhaseWaitPeer; }

// A card newly in a seat's place in the trick.
bool NewlyPlaced(int before, int after) { return after != NoCard && after != before; }

}  // namespace

std::vector<std::string> TableNews(const TTableSight& before, const TTableSight& after) {
  const TTable& a = after.Table;
  if (a.Phase == PhaseTitle) return {};
  if (a.Phase == PhaseWaitPeer) {
    if (before.Table.Phase == PhaseWaitPeer) return {};
    return {"I woat aafn Mitspuella"};
  }
  // Coming from the title or the waiting screen, the table is new: the cards
  // and counts of an abandoned hand are no part of what the player saw.
  const bool seen = IsTableScene(before.Table.Phase);
  const TTable b = seen ? before.Table : TTable{};
  std::vector<std::string> news;

  if (a.AnnouncedCard != NoCard && a.AnnouncedCard != b.AnnouncedCard)
    news.push_back("Aagsogt: " + CardName(a.AnnouncedCard));

  // The cards put into the trick; when both came at once, the player led.
  const bool player = NewlyPlaced(b.PlayerSeat.TrickCard, a.PlayerSeat.TrickCard);
  const bool opponent = NewlyPlaced(b.OpponentSeat.TrickCard, a.OpponentSeat.TrickCard);
  if (player) news.push_back("Du: " + CardName(a.PlayerSeat.TrickCard));
  if (opponent) news.push_back("Gegner: " + CardName(a.OpponentSeat.TrickCard));

  // Counts only grow within a hand; a new deal sets them back to 0.
  if (seen && a.PlayerSeat.Tricks == b.PlayerSeat.Tricks + 1) news.emplace_back("Da Stich ghert dir");
  if (seen && a.OpponentSeat.Tricks == b.OpponentSeat.Tricks + 1) news.emplace_back("Da Stich ghert am Ondern");

  if (!after.Line.empty() && after.Line != before.Line) news.push_back(after.Line);
  if (seen && (a.PlayerSeat.Points != b.PlayerSeat.Points || a.OpponentSeat.Points != b.OpponentSeat.Points))
    news.push_back("Punkt: du " + std::to_string(a.PlayerSeat.Points) + ", Gegner " +
                   std::to_string(a.OpponentSeat.Points));

  const std::string_view prompt = PhasePrompt(a.Phase);
  if (!prompt.empty() && (!seen || prompt != PhasePrompt(b.Phase))) news.emplace_back(prompt);
  return news;
}

std::string SearchWords(const std::vector<std::string>& names) {
  if (names.empty()) return "Koa Spuell gfundn";
  std::string words = std::to_string(names.size()) + " Spuell gfundn: ";
  for (std::size_t i = 0; i < names.size(); ++i) words += (i ? ", " : "") + names[i];
  return words;
}

}  // namespace kolbet
