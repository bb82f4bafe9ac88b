#include "game/table_text.h"

#include "game/key_input.h"
#include "game/phase_machine.h"
#include "rules/cards.h"

namespace kolbet {

namespace {

std::string Counts(const TSeat& seat) {
  return std::to_string(seat.Tricks) + " Stich, " + std::to_string(seat.Points) + " Punkt";
}

}  // namespace

std::string CardInHand(const TTable& t, int slot) {
  const int place = PlaceOfSlot(t.PlayerSeat.Hand, slot);
  return place < 0 ? std::string() : std::to_string(place + 1) + " " + CardName(t.PlayerSeat.Hand[slot]);
}

std::vector<std::string> TableLines(const TTable& t, int shownSlot, std::string_view spoken) {
  if (t.Phase == PhaseTitle) return {};
  if (t.Phase == PhaseWaitPeer) return {"I woat aafn Mitspuella"};
  std::vector<std::string> lines;
  if (const std::string_view prompt = PhasePrompt(t.Phase); !prompt.empty()) lines.emplace_back(prompt);
  // The spoken line stands under the prompt on the table, so it follows it here.
  if (!spoken.empty()) lines.emplace_back(spoken);

  std::string trick;
  if (t.OpponentSeat.TrickCard != NoCard) trick = "Gegner " + CardName(t.OpponentSeat.TrickCard);
  if (t.PlayerSeat.TrickCard != NoCard)
    trick += (trick.empty() ? "du " : ", du ") + CardName(t.PlayerSeat.TrickCard);
  lines.push_back("Im Stich: " + (trick.empty() ? std::string("nix") : trick));

  if (t.AnnouncedCard != NoCard) lines.push_back("Aagsogt: " + CardName(t.AnnouncedCard));
  if (const std::string selected = CardInHand(t, shownSlot); !selected.empty()) lines.push_back("Ausgwöhlt: " + selected);

  std::string hand;
  int opponentCards = 0;
  for (int i = 0; i < 5; ++i) {
    if (t.PlayerSeat.Hand[i] != NoCard) hand += (hand.empty() ? "" : ", ") + CardInHand(t, i);
    if (t.OpponentSeat.Hand[i] != NoCard) ++opponentCards;
  }
  lines.push_back("Dei Koartn: " + (hand.empty() ? std::string("koane") : hand));
  lines.push_back("Gegner: " + std::to_string(opponentCards) + " Koartn, " + Counts(t.OpponentSeat));
  lines.push_back("Du: " + Counts(t.PlayerSeat));
  return lines;
}

}  // namespace kolbet
