#pragma once
// Files for the tests: reading and writing bytes, and fixtures made once per
// build folder by another program (ImageMagick, sox) so that nothing another
// program made is kept in the source tree.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kolbet::fixtures {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);

// The path of `dir`/HASH.`ext`, where HASH stands for `key`. The file is made
// the first time by the shell command that `command` gives for an output path;
// a failing command fails the test (and the file is then missing).
std::string MakeOnce(const std::string& dir, const std::string& key, const std::string& ext,
                     const std::function<std::string(const std::string& out)>& command);

// A shell command's exit status and what it wrote, standard output and then
// standard error; status -1 when it did not end normally.
struct CommandRun {
  int Status = -1;
  std::string Out;
};
CommandRun RunCommand(const std::string& command);

}  // namespace kolbet::fixtures
