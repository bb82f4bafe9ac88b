#include "rules/scoring.h"

#include "game/pacing.h"
#include "net/protocol.h"
#include "rules/deal.h"
#include "rules/sound_items.h"

namespace kolbet {

void SchauObFirti(TGame& game) {
  TTable& t = game.Table;
  if (t.PlayerSeat.Tricks + t.OpponentSeat.Tricks != 5) return;
  if (t.NetworkGame && !game.IsHost) return;

  ForceFrame(game);
  // Five tricks cannot be split evenly, so there is always a winner.
  if (t.OpponentSeat.Tricks > t.PlayerSeat.Tricks) {
    if (!t.NetworkGame) PlaySound(game, ItemPhraseBase + RandomInt(game.Random, ItemPhraseCount), true);
    t.OpponentSeat.Points += 1;
  } else {
    t.PlayerSeat.Points += 1;
  }
  if (t.NetworkGame) SchickStatus(game);
  Pause(game, 1000ms);
  Geben(game);
}

}  // namespace kolbet
