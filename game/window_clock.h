#pragma once
// The window's clock: every wait of the window's handlers (a pause, a sound
// played to its end, the session's search, join and leave) goes through it.
// While it holds the handler, the thread keeps serving the window system:
// pings, repaints of what is on screen, accessibility queries, activation and
// the desktop's other requests. The player's input stays with the window
// system until the wait is over, and the window's gate (TMainForm::Handle)
// keeps every game handler that comes meanwhile for afterwards, so nothing of
// the game runs and no new frame is drawn inside a wait.

#include "game/system_clock.h"

namespace kolbet {

class TWindowClock final : public ClockPort {
 public:
  void Pause(std::chrono::milliseconds duration) override;
  void WaitUntil(const std::function<bool()>& over, std::chrono::milliseconds poll) override;
  std::uint32_t MillisecondsOfDayUtc() override { return Wall.MillisecondsOfDayUtc(); }

  // A wait is under way.
  bool Waiting() const { return Depth > 0; }
  // How many waits have begun, to tell whether a handler waited.
  unsigned Waits() const { return Begun; }
  // From now on a wait only sleeps: the window is going away.
  void StopServing() { Serving = false; }

 private:
  using Time = std::chrono::steady_clock::time_point;
  void Hold(Time deadline, const std::function<bool()>& over, std::chrono::milliseconds poll);

  SystemClock Wall;
  int Depth = 0;
  unsigned Begun = 0;
  bool Serving = true;
};

}  // namespace kolbet
