// kolbet-inspect: loads one data file with the game's own readers and prints
// what it found, or the reader's error text on standard error with status 1.

#include <cstdio>
#include <string>
#include <string_view>

#include "tools/inspect.h"

namespace {

const char* const Usage =
    "usage: kolbet-inspect --pack FILE [--png DIR]\n"
    "       kolbet-inspect --bank FILE\n"
    "       kolbet-inspect --wave FILE\n";

int UsageError() {
  std::fputs(Usage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return UsageError();
  const std::string_view mode = argv[1];
  const std::string file = argv[2];
  if (mode == "--pack") {
    if (argc == 3) return kolbet::InspectPack(file, {});
    if (argc == 5 && std::string_view(argv[3]) == "--png") return kolbet::InspectPack(file, argv[4]);
    return UsageError();
  }
  if (argc != 3) return UsageError();
  if (mode == "--bank") return kolbet::InspectBank(file);
  if (mode == "--wave") return kolbet::InspectWave(file);
  return UsageError();
}
