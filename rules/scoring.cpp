#include "rules/scoring.h"

#include "game/pacing.h"
#include "game/spoken_lines.h"
#include "net/protocol.h"
#include "rules/deal.h"
#include "rules/sound_items.h"

namespace kolbet {

void SchauObFirti(TGame& game) {
  TTable& t = game.Table;
  if (t.PlayerSeat.Tricks + t.OpponentSeat.Tricks != 5) return;
  if (t.NetworkGame && !game.IsHost) return;

  // Five tricks cannot be split evenly, so there is always a winner. The
  // point and whose hand it was are on the table before anything is said.
  const bool opponentWon = t.OpponentSeat.Tricks > t.PlayerSeat.Tricks;
  (opponentWon ? t.OpponentSeat : t.PlayerSeat).Points += 1;
  ShowLine(game, HandResultLine(!opponentWon));
  ForceFrame(game);
  if (opponentWon && !t.NetworkGame)
    PlaySound(game, ItemPhraseBase + RandomInt(game.Random, ItemPhraseCount), true);
  if (t.NetworkGame) SchickStatus(game);
  Pause(game, 1000ms);
  Geben(game);
}

}  // namespace kolbet
