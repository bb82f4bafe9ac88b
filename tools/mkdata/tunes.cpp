#include "tools/mkdata/tunes.h"

#include <sstream>
#include <stdexcept>
#include <string>

namespace kolbet::mkdata {
namespace {

// "F#5" -> 78; "r" -> 0 (a rest).
int Pitch(const std::string& name) {
  if (name == "r") return 0;
  static const int Steps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::invalid_argument("bad note " + name);
  int pitch = Steps[name[0] - 'A'];
  std::size_t at = 1;
  if (name[at] == '#') ++pitch, ++at;
  else if (name[at] == 'b') --pitch, ++at;
  return pitch + 12 * (std::stoi(name.substr(at)) + 1);
}

// A bar written as "CHORD | NOTE EIGHTHS NOTE EIGHTHS ...".
Bar Parse(const std::string& text) {
  std::istringstream in(text);
  std::string chord, bar;
  in >> chord >> bar;
  Bar b{chord == "I" ? Chord::I : chord == "IV" ? Chord::IV : Chord::V7, {}};
  if (bar != "|" || (chord != "I" && chord != "IV" && chord != "V7")) throw std::invalid_argument("bad bar " + text);
  std::string note;
  int eighths = 0;
  while (in >> note >> eighths) b.melody.push_back({Pitch(note), eighths});
  return b;
}

Tune Make(int tonic, double bpm, std::initializer_list<const char*> bars) {
  Tune t{tonic, bpm, {}};
  for (const char* bar : bars) t.bars.push_back(Parse(bar));
  return t;
}

// The Ländler's first half: a rising call, an answer on the dominant, twice,
// the second time closing on the tonic.
const std::initializer_list<const char*> LandlerA = {
    "I | B4 2 D5 2 G5 2",        "I | B5 2 A5 1 G5 1 D5 2",   "V7 | C5 2 F#5 2 A5 2",
    "V7 | A5 3 G5 1 F#5 1 E5 1", "V7 | C6 2 B5 1 A5 1 F#5 2", "V7 | A5 2 F#5 2 D5 2",
    "I | B4 1 C5 1 D5 1 G5 1 B5 2", "I | G5 4 r 2",
    "I | B4 2 D5 2 G5 2",        "I | B5 2 A5 1 G5 1 D5 2",   "V7 | C5 2 F#5 2 A5 2",
    "V7 | A5 3 G5 1 F#5 1 E5 1", "V7 | C6 2 B5 1 A5 1 F#5 2", "V7 | A5 2 F#5 2 D5 2",
    "V7 | F#5 2 A5 2 C6 2",      "I | B5 4 D5 2",
};

}  // namespace

Tune LandlerLoop() { return Make(67, 132, LandlerA); }

Tune Landler() {
  Tune t = LandlerLoop();
  const Tune b = Make(67, 132, {
      "IV | E5 2 G5 2 C6 2",        "IV | C6 3 B5 1 A5 1 G5 1",  "I | G5 2 B5 2 D6 2",
      "I | D6 3 C6 1 B5 1 A5 1",    "V7 | A5 2 C6 1 B5 1 A5 1 G5 1", "V7 | F#5 2 E5 1 F#5 1 A5 2",
      "I | G5 2 D5 2 B4 2",         "I | G4 4 r 2",
      "IV | E5 2 G5 2 C6 2",        "IV | C6 3 B5 1 A5 1 G5 1",  "I | G5 2 B5 2 D6 2",
      "I | D6 3 C6 1 B5 1 A5 1",    "V7 | A5 2 C6 1 B5 1 A5 1 G5 1", "V7 | F#5 2 E5 1 F#5 1 A5 2",
      "V7 | F#5 2 A5 2 F#5 2",      "I | G5 4 r 2",
  });
  t.bars.insert(t.bars.end(), b.bars.begin(), b.bars.end());
  return t;
}

Tune Wirtshauswalzer() {
  return Make(60, 156, {
      "I | G4 2 C5 2 E5 2",   "I | G5 4 E5 2",        "V7 | F5 2 D5 2 B4 2",  "V7 | D5 4 r 2",
      "V7 | G4 2 B4 2 D5 2",  "V7 | F5 4 D5 2",       "I | E5 2 C5 2 E5 2",   "I | G5 4 r 2",
      "I | G5 2 A5 1 G5 1 E5 2", "I | C6 4 G5 2",     "IV | A5 2 C6 1 A5 1 F5 2", "IV | A5 4 r 2",
      "I | G5 2 E5 2 C5 2",   "V7 | D5 2 F5 2 B4 2",  "V7 | G4 2 B4 2 D5 2",  "I | C5 4 r 2",
      "IV | A5 4 G5 2",       "IV | F5 2 A5 2 C6 2",  "I | G5 4 F5 2",        "I | E5 2 G5 2 C6 2",
      "V7 | B5 2 A5 1 G5 1 F5 2", "V7 | D5 4 F5 2",   "I | E5 2 G5 2 E5 2",   "I | C5 4 r 2",
      "IV | C6 4 A5 2",       "IV | F5 2 A5 2 C6 2",  "I | E5 2 G5 2 C6 2",   "V7 | B5 2 G5 2 D5 2",
      "I | E5 2 G5 2 E5 2",   "V7 | D5 2 F5 2 B4 2",  "V7 | G4 2 B4 2 D5 2",  "I | C5 4 r 2",
  });
}

}  // namespace kolbet::mkdata
