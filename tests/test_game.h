#pragma once
// A game wired to a sound device and a clock that only write down what they are
// asked, for tests of the game core.

#include <string>
#include <vector>

#include "game/game.h"
#include "rules/cards.h"

namespace kolbet::test {

struct RecordingGame {
  class Sound final : public SoundPort {
   public:
    explicit Sound(std::vector<std::string>& log) : log_(log) {}
    void PlaySound(int item, bool wait) override {
      log_.push_back("sound " + std::to_string(item) + (wait ? " wait" : " start"));
    }
    void StopSound(int item) override { log_.push_back("stop " + std::to_string(item)); }

   private:
    std::vector<std::string>& log_;
  };

  class Clock final : public ClockPort {
   public:
    explicit Clock(std::vector<std::string>& log) : log_(log) {}
    void Pause(std::chrono::milliseconds duration) override {
      log_.push_back("pause " + std::to_string(duration.count()));
    }
    std::uint32_t MillisecondsOfDayUtc() override { return 0; }

   private:
    std::vector<std::string>& log_;
  };

  class Session final : public SessionPort {
   public:
    explicit Session(std::vector<std::string>& log) : log_(log) {}
    void Send(const std::uint8_t* data, std::size_t size) override {
      messages.emplace_back(data, data + size);
      log_.push_back("send " + std::to_string(size));
    }
    void Close() override { log_.push_back("close"); }
    std::vector<std::vector<std::uint8_t>> messages;

   private:
    std::vector<std::string>& log_;
  };

  RecordingGame() {
    game.Sound = &sound;
    game.Clock = &clock;
    game.Session = &session;
    game.Frame = [this] { log.push_back("frame"); };
  }
  RecordingGame(const RecordingGame&) = delete;
  RecordingGame& operator=(const RecordingGame&) = delete;

  // The log without the forced frames, which most tests do not care about.
  std::vector<std::string> Events() const {
    std::vector<std::string> events;
    for (const auto& entry : log)
      if (entry != "frame") events.push_back(entry);
    return events;
  }

  std::vector<std::string> log;
  Sound sound{log};
  Clock clock{log};
  Session session{log};
  TGame game;
};

// A seed whose next draw of RandomInt(n) is `value`.
std::uint32_t SeedDrawing(int n, int value);

// A hand to lead from, with no trump among the computer's cards but the answer
// and an empty trick.
inline void SetLeadHand(TTable& t) {
  t.Phase = PhaseLead;
  t.PlayerSeat.Hand = {3, 10, 20, 27, 13};
  t.OpponentSeat.Hand = {0, 1, 2, 4, 5};
  t.PlayerSeat.TrickCard = t.OpponentSeat.TrickCard = NoCard;
  t.PlayerSeat.Tricks = t.OpponentSeat.Tricks = 0;
  t.AnnouncedCard = 31;
}

}  // namespace kolbet::test
