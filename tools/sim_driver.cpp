#include "tools/sim_driver.h"

#include <charconv>

#include "assets/default_names.h"
#include "game/phase_machine.h"
#include "rules/cards.h"

namespace kolbet {

void Transcript::Number(long long value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, result.ptr);
}

void Transcript::Line(std::string_view text) {
  buffer_ += text;
  buffer_ += '\n';
  if (buffer_.size() > (1u << 16)) Flush();
}

void Transcript::Sound(int item, bool wait) {
  buffer_ += "sound ";
  Number(item);
  Line(wait ? " wait" : " start");
}

void Transcript::Pause(long long milliseconds) {
  buffer_ += "pause ";
  Number(milliseconds);
  Line("");
}

void Transcript::Press(int slot) {
  buffer_ += "press ";
  Number(slot);
  Line("");
}

void Transcript::State(const TTable& table) {
  buffer_ += "state ";
  Number(table.Phase);
  buffer_ += ' ';
  Number(table.AnnouncedCard);
  for (const TSeat* seat : {&table.PlayerSeat, &table.OpponentSeat}) {
    buffer_ += seat == &table.PlayerSeat ? " P" : " O";
    for (int value : {seat->Hand[0], seat->Hand[1], seat->Hand[2], seat->Hand[3], seat->Hand[4],
                      seat->TrickCard, seat->Tricks, seat->Points}) {
      buffer_ += ' ';
      Number(value);
    }
  }
  Line("");
}

void Transcript::End(const TTable& table) {
  buffer_ += "end P ";
  Number(table.PlayerSeat.Points);
  buffer_ += " O ";
  Number(table.OpponentSeat.Points);
  Line("");
}

void Transcript::Flush() {
  if (out_ && !buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
  if (into_) *into_ += buffer_;
  buffer_.clear();
}

namespace {

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

int LowestCardSlot(const TSeat& seat) {
  for (int slot = 0; slot < 5; ++slot)
    if (seat.Hand[slot] != NoCard) return slot;
  return -1;
}

int LowestTrumpSlot(const TTable& table) {
  for (int slot = 0; slot < 5; ++slot)
    if (IsTrump(table.PlayerSeat.Hand[slot], table.AnnouncedCard)) return slot;
  return -1;
}

int HandsScored(const TTable& table) { return table.PlayerSeat.Points + table.OpponentSeat.Points; }

}  // namespace

int FirstPressSlot(const TTable& table) {
  switch (table.Phase) {
    case PhaseLead:
    case PhaseFollow:
    case PhaseAnnounceRank:
    case PhaseAnnounceSuit:
    case PhaseFollowTrump:
      return LowestCardSlot(table.PlayerSeat);
    default:
      return -1;
  }
}

int RunSimulation(const SimOptions& options, Transcript& transcript) {
  RecordingSound sound(transcript);
  VirtualClock clock(transcript);
  TGame game;
  game.Sound = &sound;
  game.Clock = &clock;
  game.Settings.Skill = options.Skill;
  game.Settings.TrumpfoderNarrisch = options.TrumpfoderNarrisch;
  TTable& table = game.Table;

  SeedRandom(game.Random, options.Seed);
  transcript.Text("name ");
  transcript.Line(DefaultNames[RandomInt(game.Random, static_cast<int>(DefaultNames.size()))]);

  StartSingleGame(game);
  transcript.State(table);

  auto press = [&](int slot) {
    transcript.Press(slot);
    OnTablePress(game, slot);
    transcript.State(table);
  };
  while (HandsScored(table) < options.Hands) {
    const int slot = FirstPressSlot(table);
    if (slot < 0) break;  // no move possible; cannot happen in a single game
    press(slot);
    if (table.Phase == PhaseFollowTrump) {
      const int trump = LowestTrumpSlot(table);
      if (trump < 0) break;
      press(trump);
    }
  }
  transcript.End(table);
  return HandsScored(table);
}

}  // namespace kolbet
