#pragma once
// The two switches every Linux program answers before it does anything else:
// --help and --version print their text on standard output and end the
// program with status 0, before any window or display is opened. Every other
// argument belongs to the game (the main window reads "-USEIPX"; the rest is
// ignored).

#include <cstdio>
#include <optional>
#include <string>

namespace kolbet {

// The text --help or --version asks for, from the first of them among the
// arguments after the program's own path; none when neither is given.
std::optional<std::string> InformationText(int argc, const char* const* argv);

// Prints the text of --help or --version to `out` and returns true when one
// of them was given; the caller then ends with status 0.
bool AnswerInformationSwitch(int argc, const char* const* argv, std::FILE* out);

}  // namespace kolbet
