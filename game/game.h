#pragma once
// Everything one running game consists of: the table state, the settings, the
// random generator and the outside services the core talks to. The window owns
// one of these for the life of the process; tests and the simulator make their own.

#include "game/ports.h"
#include "game/random.h"
#include "game/table_state.h"

namespace kolbet {

struct TGame {
  TTable Table;
  TSettings Settings;
  TRandom Random;
  bool IsHost = false;  // this side created the network session

  // Outside services; a null pointer (or an empty frame callback) does nothing.
  SoundPort* Sound = nullptr;
  ClockPort* Clock = nullptr;
  SessionPort* Session = nullptr;
  FramePort Frame;

  // How often the game has held the calling thread (a pause, a sound played to
  // its end); the window drops presses that were queued meanwhile.
  unsigned Waits = 0;
};

}  // namespace kolbet
