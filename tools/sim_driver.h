#pragma once
// Plays single games headless through the same path a pointer press takes,
// with a sound device and a clock that only record what they are asked to do.
// Shared by kolbet-sim and the benchmark.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "game/game.h"

namespace kolbet {

struct SimOptions {
  std::uint32_t Seed = 0;
  int Skill = 2;
  bool TrumpfoderNarrisch = false;
  int Hands = 10;
};

// Collects transcript lines and hands them in large pieces to a stream or a
// string; with neither it drops them, which is what the benchmark wants.
class Transcript {
 public:
  explicit Transcript(std::FILE* out) : out_(out) {}
  explicit Transcript(std::string* into) : into_(into) {}
  ~Transcript() { Flush(); }
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  void Text(std::string_view text) { buffer_ += text; }
  void Line(std::string_view text);
  void Sound(int item, bool wait);
  void Pause(long long milliseconds);
  void Press(int slot);
  void State(const TTable& table);
  // "send status F1 ... F19" or "send command CODE ARG" (`direction` "send"
  // or "recv"); a block of neither kind as "recv bytes SIZE".
  void Message(std::string_view direction, const std::uint8_t* data, std::size_t size);
  void End(const TTable& table);
  void Flush();

 private:
  void Number(long long value);
  std::FILE* out_ = nullptr;
  std::string* into_ = nullptr;
  std::string buffer_;
};

// Sound calls return at once; each is written down.
class RecordingSound final : public SoundPort {
 public:
  explicit RecordingSound(Transcript& transcript) : transcript_(transcript) {}
  void PlaySound(int item, bool wait) override { transcript_.Sound(item, wait); }
  void StopSound(int) override {}

 private:
  Transcript& transcript_;
};

// Pauses take no real time; each is written down.
class VirtualClock final : public ClockPort {
 public:
  explicit VirtualClock(Transcript& transcript) : transcript_(transcript) {}
  void Pause(std::chrono::milliseconds duration) override { transcript_.Pause(duration.count()); }
  std::uint32_t MillisecondsOfDayUtc() override { return 0; }

 private:
  Transcript& transcript_;
};

// Seeds the game and draws the default name, as the window does at start;
// writes "name NAME" and returns the name.
std::string_view DrawDefaultName(TGame& game, std::uint32_t seed, Transcript& transcript);

// The slot the fixed press policy picks first in the current phase, or -1.
int FirstPressSlot(const TTable& table);

// Seeds, draws the default name, starts a single game and presses until the
// given number of hands has been scored. Returns the hands scored.
int RunSimulation(const SimOptions& options, Transcript& transcript);

}  // namespace kolbet
