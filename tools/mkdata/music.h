#pragma once
// A small accordion band for the background music: a reedy melody with a
// musette beat, small vibrato and a soft attack over an oom-pah-pah of bass
// and chord, in 3/4 time.

#include <vector>
#include "tools/mkdata/wave_writer.h"

namespace kolbet::mkdata {

inline constexpr int MusicRate = 22050;

enum class Chord { I, IV, V7 };

struct MelodyNote {
  int midi;     // 0: a rest
  int eighths;  // length in eighth notes; a bar holds six
};

struct Bar {
  Chord chord;
  std::vector<MelodyNote> melody;
};

struct Tune {
  int tonic;   // MIDI number of the key's root in the melody's octave (67 = G4)
  double bpm;  // quarter notes a minute
  std::vector<Bar> bars;
};

// Renders the tune to mono 16-bit PCM. With `loop` the result is exactly the
// tune's length and the notes that ring past its end sound over its start, so
// that it repeats without a seam; otherwise a closing chord and a fade follow.
// Throws std::invalid_argument for a bar that does not add up to six eighths.
Pcm16 RenderTune(const Tune& tune, bool loop);

}  // namespace kolbet::mkdata
