#include "tools/mkdata/music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

namespace kolbet::mkdata {
namespace {

constexpr int TableSize = 2048;
using Table = std::array<float, TableSize + 1>;  // one cycle, plus the first sample again

enum class Reed { Treble, Bass };

double Frequency(double midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// One cycle of a reed's tone: every harmonic below the Nyquist frequency, the
// odd ones stronger, rolled off above a few kilohertz. Tables are made once per
// pitch and kind.
const Table& ReedTable(int midi, Reed reed) {
  static std::map<std::pair<int, Reed>, Table> tables;
  auto found = tables.find({midi, reed});
  if (found != tables.end()) return found->second;
  Table t{};
  const double f = Frequency(midi);
  const double corner = reed == Reed::Treble ? 2600.0 : 1200.0;
  std::array<double, TableSize> cycle{};
  for (int n = 1; n * f < MusicRate * 0.45; ++n) {
    const double roll = 1.0 / (1.0 + std::pow(n * f / corner, 2));
    const double a = (n % 2 ? 1.0 : 0.55) / std::pow(n, 0.8) * roll;
    for (int i = 0; i < TableSize; ++i) cycle[i] += a * std::sin(2 * M_PI * n * i / TableSize);
  }
  double peak = 1e-9;
  for (double v : cycle) peak = std::max(peak, std::abs(v));
  for (int i = 0; i < TableSize; ++i) t[i] = static_cast<float>(cycle[i] / peak);
  t[TableSize] = t[0];
  return tables.emplace(std::make_pair(midi, reed), t).first->second;
}

struct Voice {
  Reed reed;
  double gain;
  double musette;   // relative detune of a second reed, 0 for none
  double vibrato;   // relative depth of the pitch wobble
  double octave;    // gain of a reed an octave lower (the bass's fullness)
};

constexpr Voice Melody{Reed::Treble, 0.30, 0.0035, 0.0022, 0.0};
constexpr Voice Bass{Reed::Bass, 0.34, 0.0, 0.0, 0.6};
constexpr Voice Accomp{Reed::Treble, 0.10, 0.0018, 0.0, 0.0};

class Mixer {
 public:
  Mixer(std::size_t length, bool wrap) : mix_(length, 0.0), wrap_(wrap) {}

  void Note(double start, double length, int midi, const Voice& v, double velocity) {
    constexpr double Attack = 0.035, Release = 0.07;
    const long first = std::lround(start * MusicRate);
    const long count = std::lround((length + Release) * MusicRate);
    const double f = Frequency(midi);
    const Table& main = ReedTable(midi, v.reed);
    const Table* low = v.octave > 0 ? &ReedTable(midi - 12, v.reed) : nullptr;
    double p1 = 0, p2 = 0.25, p3 = 0;
    for (long i = 0; i < count; ++i) {
      const double t = double(i) / MusicRate;
      double env = t < Attack ? 0.5 - 0.5 * std::cos(M_PI * t / Attack) : 1.0;
      env *= 1.0 - 0.18 * std::min(1.0, t / 0.6);
      if (t > length) env *= std::max(0.0, 1.0 - (t - length) / Release);
      const double wobble = v.vibrato * std::sin(2 * M_PI * 5.5 * t) * std::min(1.0, t / 0.2);
      const double step = f * (1.0 + wobble) / MusicRate;
      double s = Lookup(main, p1);
      if (v.musette > 0) s = 0.55 * s + 0.45 * Lookup(main, p2);
      if (low) s += v.octave * Lookup(*low, p3);
      p1 = Advance(p1, step);
      p2 = Advance(p2, step * (1.0 + v.musette));
      p3 = Advance(p3, step / 2);
      Add(first + i, s * env * v.gain * velocity);
    }
  }

  std::vector<double>& samples() { return mix_; }

 private:
  static double Lookup(const Table& t, double phase) {
    const double x = phase * TableSize;
    const int i = static_cast<int>(x);
    return t[i] + (t[i + 1] - t[i]) * (x - i);
  }
  static double Advance(double phase, double step) {
    phase += step;
    return phase - std::floor(phase);
  }
  void Add(long at, double v) {
    const long n = static_cast<long>(mix_.size());
    if (wrap_) at %= n;
    if (at >= 0 && at < n) mix_[at] += v;
  }

  std::vector<double> mix_;
  bool wrap_;
};

std::vector<int> ChordTones(Chord c) {
  switch (c) {
    case Chord::I: return {0, 4, 7};
    case Chord::IV: return {5, 9, 12};
    case Chord::V7: return {7, 11, 14, 17};
  }
  return {};
}

int ChordRoot(Chord c) { return c == Chord::I ? 0 : c == Chord::IV ? 5 : 7; }

// The pitch class `pc` (relative to the tonic) moved into [low, low + 12).
int InRange(int tonic, int pc, int low) {
  int m = tonic + pc;
  while (m < low) m += 12;
  while (m >= low + 12) m -= 12;
  return m;
}

void PlayBar(Mixer& mix, const Tune& tune, const Bar& bar, int index, double t0) {
  const double beat = 60.0 / tune.bpm, eighth = beat / 2;
  // Oom: the root, on every other bar the fifth below it instead.
  const int root = ChordRoot(bar.chord);
  const int bassPc = index % 2 == 0 ? root : root - 5;
  mix.Note(t0, beat * 0.9, InRange(tune.tonic, bassPc, 38), Bass, 1.0);
  // Pah-pah: the chord, short, on beats two and three.
  for (int b = 1; b <= 2; ++b)
    for (int pc : ChordTones(bar.chord))
      mix.Note(t0 + b * beat, beat * 0.38, InRange(tune.tonic, pc, 55), Accomp, b == 1 ? 1.0 : 0.85);
  double t = t0;
  int at = 0;
  for (const MelodyNote& n : bar.melody) {
    if (n.midi > 0) mix.Note(t, n.eighths * eighth * 0.9, n.midi, Melody, at == 0 ? 1.0 : 0.86);
    t += n.eighths * eighth;
    at += n.eighths;
  }
}

}  // namespace

Pcm16 RenderTune(const Tune& tune, bool loop) {
  for (std::size_t i = 0; i < tune.bars.size(); ++i) {
    int sum = 0;
    for (const MelodyNote& n : tune.bars[i].melody) sum += n.eighths;
    if (sum != 6) throw std::invalid_argument("bar " + std::to_string(i + 1) + " does not hold six eighths");
  }
  const double beat = 60.0 / tune.bpm, barTime = 3 * beat;
  const double body = barTime * static_cast<double>(tune.bars.size());
  const double closing = loop ? 0.0 : barTime * 2 + 0.4;
  Mixer mix(static_cast<std::size_t>(std::lround((body + closing) * MusicRate)), loop);
  for (std::size_t i = 0; i < tune.bars.size(); ++i)
    PlayBar(mix, tune, tune.bars[i], static_cast<int>(i), barTime * static_cast<double>(i));
  if (!loop) {
    // A held tonic chord to close, with the bass on its root.
    mix.Note(body, barTime * 1.6, InRange(tune.tonic, 0, 38), Bass, 1.0);
    for (int pc : ChordTones(Chord::I)) mix.Note(body, barTime * 1.6, InRange(tune.tonic, pc, 55), Accomp, 1.2);
    mix.Note(body, barTime * 1.6, tune.tonic, Melody, 0.9);
  }
  std::vector<double>& s = mix.samples();
  if (!loop) {
    const std::size_t fade = MusicRate / 2;
    for (std::size_t i = 0; i < fade && i < s.size(); ++i) s[s.size() - 1 - i] *= double(i) / fade;
  }
  double peak = 1e-9;
  for (double v : s) peak = std::max(peak, std::abs(v));
  const double gain = 0.8 * 32767 / peak;
  Pcm16 pcm;
  pcm.channels = 1;
  pcm.rate = MusicRate;
  pcm.samples.reserve(s.size());
  for (double v : s) pcm.samples.push_back(static_cast<std::int16_t>(std::lround(v * gain)));
  return pcm;
}

}  // namespace kolbet::mkdata
