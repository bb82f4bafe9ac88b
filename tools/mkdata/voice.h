#pragma once
// German speech from the espeak-ng program (Debian package espeak-ng), as
// 22050 Hz 16-bit mono PCM.

#include <string>
#include <vector>
#include "tools/mkdata/wave_writer.h"

namespace kolbet::mkdata {

inline constexpr int SpeechRate = 22050;

// Speaks every text (espeak-ng markup allowed) and returns the cleaned speech
// in the same order. Several synthesisers run at once. Throws
// std::runtime_error when espeak-ng is missing, fails or returns no speech.
std::vector<Pcm16> Speak(const std::vector<std::string>& texts);

// Cuts the silence before and after the voice down to a short breath, fades
// the ends, and brings the loudest sample to a common level, so that waiting
// plays end when the voice does and all items sound equally loud.
Pcm16 CleanSpeech(const Pcm16& raw);

}  // namespace kolbet::mkdata
