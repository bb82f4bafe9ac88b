#include "game/phase_machine.h"

#include "net/net_moves.h"
#include "rules/cards.h"
#include "rules/deal.h"
#include "rules/scoring.h"
#include "rules/tricks.h"

namespace kolbet {

std::string_view PhasePrompt(int phase) {
  switch (phase) {
    case PhaseLead:
    case PhaseNetLead:
      return "Du muast aaskoartn";
    case PhaseFollow:
    case PhaseFollowTrump:
    case PhaseNetFollow:
      return "Du muast ei`schmiern";
    case PhaseAnnounceRank:
    case PhaseNetAnnounceRank:
      return "Soch`n Schloch oh";
    case PhaseAnnounceSuit:
    case PhaseNetAnnounceSuit:
      return "Soch d`Forb oh";
    default:
      return "";
  }
}

bool FirstTrickRuleRefuses(const TGame& game, int slot) {
  const TTable& t = game.Table;
  if (slot < 0 || slot >= 5 || t.PlayerSeat.Hand[slot] == NoCard) return false;
  if (t.Phase == PhaseFollowTrump)
    return t.OpponentSeat.TrickCard != NoCard && !TrumpAnswerAllowed(game, t.PlayerSeat.Hand[slot]);
  return t.Phase == PhaseNetFollow && !NetAnswerAllowed(game, slot);
}

// The player's move with the card of `slot`, which holds a card.
static void PressCard(TGame& game, int slot) {
  TTable& t = game.Table;
  switch (t.Phase) {
    case PhaseLead:
      PlayerLeads(game, slot);
      break;
    case PhaseFollow:
      if (t.OpponentSeat.TrickCard != NoCard) PlayerAnswers(game, slot);
      break;
    case PhaseFollowTrump:
      // A card the first-trick rule refuses changes nothing; the prompt stays.
      if (t.OpponentSeat.TrickCard != NoCard && !FirstTrickRuleRefuses(game, slot)) PlayerAnswers(game, slot);
      break;
    case PhaseAnnounceRank:
      PlayerNamesRank(game, slot);
      break;
    case PhaseAnnounceSuit:
      PlayerNamesSuit(game, slot);
      break;
    case PhaseNetAnnounceRank:
      NetNamesRank(game, slot);
      break;
    case PhaseNetAnnounceSuit:
      NetNamesSuit(game, slot);
      break;
    case PhaseNetLead:
      NetLeads(game, slot);
      break;
    case PhaseNetFollow:
      // A card the first-trick rule refuses changes nothing; the prompt stays.
      if (!FirstTrickRuleRefuses(game, slot)) NetAnswers(game, slot);
      break;
    default:
      // The title and the waiting phases take no press.
      break;
  }
}

void OnTablePress(TGame& game, int slot) {
  TTable& t = game.Table;
  if (slot >= 0 && slot < 5 && t.PlayerSeat.Hand[slot] != NoCard) PressCard(game, slot);
  SchauObFirti(game);
  t.NeedsRedraw = true;
}

void StartSingleGame(TGame& game) {
  game.Table.NetworkGame = false;
  Geben(game);
  game.Table.NeedsRedraw = true;
}

void BackToMenu(TGame& game) {
  TTable& t = game.Table;
  t.NeedsRedraw = true;
  if (t.NetworkGame) {
    if (game.Session) game.Session->Close();
    t.NetworkGame = false;
  }
  t.Phase = PhaseTitle;
}

}  // namespace kolbet
