#include "tools/sim_driver.h"

#include <charconv>

#include "assets/default_names.h"
#include "game/phase_machine.h"
#include "net/protocol.h"
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

void Transcript::Message(std::string_view direction, const std::uint8_t* data, std::size_t size) {
  const auto field = [data](int k) { return MessageField(data, k); };
  buffer_ += direction;
  const std::int32_t kind = size >= 4 ? field(0) : -1;
  if (kind == KindStatus && size >= StatusSize) {
    buffer_ += " status";
    for (int k = 1; k < 20; ++k) {
      buffer_ += ' ';
      Number(field(k));
    }
  } else if (kind == KindCommand && size >= CommandSize) {
    buffer_ += " command ";
    Number(field(1));
    buffer_ += ' ';
    Number(field(2));
  } else {
    buffer_ += " bytes ";
    Number(static_cast<long long>(size));
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

std::string_view DrawDefaultName(TGame& game, std::uint32_t seed, Transcript& transcript) {
  SeedRandom(game.Random, seed);
  const std::string_view name = DefaultNames[RandomInt(game.Random, static_cast<int>(DefaultNames.size()))];
  transcript.Text("name ");
  transcript.Line(name);
  return name;
}

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

  DrawDefaultName(game, options.Seed, transcript);

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
