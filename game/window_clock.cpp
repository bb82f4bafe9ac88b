#include "game/window_clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>

namespace kolbet {

void TWindowClock::Pause(std::chrono::milliseconds duration) {
  if (!Serving) return Wall.Pause(duration);
  Hold(std::chrono::steady_clock::now() + duration, {}, duration);
}

void TWindowClock::WaitUntil(const std::function<bool()>& over, std::chrono::milliseconds poll) {
  if (!Serving) return Wall.WaitUntil(over, poll);
  Hold(Time::max(), over, poll);
}

void TWindowClock::Hold(Time deadline, const std::function<bool()>& over, std::chrono::milliseconds poll) {
  using namespace std::chrono;
  ++Depth;
  ++Begun;
  struct Leave {
    int& depth;
    ~Leave() {
      --depth;
      // The input kept meanwhile is taken at the next turn of the event loop,
      // also when nothing new comes from the window system to wake it.
      if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance()) loop->wakeUp();
    }
  } leave{Depth};
  // The thread sleeps in the event loop until the window system has something
  // for it or the timer wakes it at the deadline (or to ask `over` again).
  // Input is left queued; the window's gate keeps back whatever else would
  // run a handler of the game.
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  for (;;) {
    const Time now = steady_clock::now();
    if (now >= deadline || (over && over())) return;
    const auto left = deadline == Time::max() ? poll : std::min<steady_clock::duration>(deadline - now, poll);
    wake.start(std::max(milliseconds(1), ceil<milliseconds>(left)));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  }
}

}  // namespace kolbet
