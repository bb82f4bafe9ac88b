#pragma once
// What the game core needs from outside, each behind a small interface, so that
// the same core runs in the window, in tests and in the headless simulator.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <thread>

#include "rules/sound_items.h"

namespace kolbet {

// The sound bank: items are addressed by number only.
class SoundPort {
 public:
  virtual ~SoundPort() = default;
  // Starts the item; with `wait`, returns only when it has finished sounding.
  virtual void PlaySound(int item, bool wait) = 0;
  virtual void StopSound(int item) = 0;
  // How many items the bank holds; a number from the peer is played only below it.
  virtual int Count() const { return ItemCount; }
};

// The wall clock behind the pauses and the random seed, and the one way the
// game waits: for a pause, for a sound to end, for the session's answer.
class ClockPort {
 public:
  virtual ~ClockPort() = default;
  // Returns after the given time. Meanwhile nothing of the game is drawn or
  // handled; the window's clock serves the window system, the others sleep.
  virtual void Pause(std::chrono::milliseconds duration) = 0;
  // Returns once `over` is true, asked at least every `poll`; meanwhile as in Pause.
  virtual void WaitUntil(const std::function<bool()>& over, std::chrono::milliseconds poll) {
    while (!over()) std::this_thread::sleep_for(poll);
  }
  // Milliseconds since midnight, UTC (0 to 86 399 999).
  virtual std::uint32_t MillisecondsOfDayUtc() = 0;
};

// The open network session, if any.
class SessionPort {
 public:
  virtual ~SessionPort() = default;
  // Sends one message to every other player, whole and in order.
  virtual void Send(const std::uint8_t* data, std::size_t size) = 0;
  virtual void Close() = 0;
};

// Draws the table at once, outside the frame timer.
using FramePort = std::function<void()>;

// Shows on the table, beside the prompt, a line for what was only spoken (the
// rank the other side named, the hand's result); an empty line takes it away.
// It is no part of the table state: the window keeps it while it matters.
using LinePort = std::function<void(std::string_view line)>;

}  // namespace kolbet
