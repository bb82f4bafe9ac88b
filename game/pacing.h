#pragma once
// The blocking primitives that give the game its pace: a sound played to its
// end, a pause on the wall clock, and a frame drawn at once.

#include <chrono>

#include "game/game.h"

namespace kolbet {

using namespace std::chrono_literals;

inline void PlaySound(TGame& game, int item, bool wait) {
  if (!game.Sound) return;
  if (wait) ++game.Waits;
  game.Sound->PlaySound(item, wait);
}

inline void Pause(TGame& game, std::chrono::milliseconds duration) {
  if (!game.Clock) return;
  ++game.Waits;
  game.Clock->Pause(duration);
}

// The items of the sound bank; without one, the items the game knows.
inline int SoundItemCount(const TGame& game) { return game.Sound ? game.Sound->Count() : ItemCount; }

// Sets NeedsRedraw and draws the table now, so the screen shows it as it is.
inline void ForceFrame(TGame& game) {
  game.Table.NeedsRedraw = true;
  if (game.Frame) game.Frame();
}

// The pauses inside a trick and at the end of a hand show the table first.
inline void PauseShowingTable(TGame& game, std::chrono::milliseconds duration) {
  ForceFrame(game);
  Pause(game, duration);
}

}  // namespace kolbet
