#pragma once
// The three reports of kolbet-inspect; each returns the exit status.

#include <string>

namespace kolbet {

// A line "picture I WIDTHxHEIGHT" per item; with a folder, also writes DIR/I.png.
int InspectPack(const std::string& file, const std::string& pngDir);
// A line per item of a sound bank.
int InspectBank(const std::string& file);
// One line for a RIFF WAVE or music file.
int InspectWave(const std::string& file);

}  // namespace kolbet
