#include "platform/command_line.h"

#include <string_view>

namespace kolbet {

namespace {

std::string VersionText() {
  return "brivlo-kolbet " KOLBET_VERSION "\n"
         "Copyright (C) 2026 DRN\n"
         "License GPLv2+: GNU GPL version 2 or later <https://www.gnu.org/licenses/old-licenses/gpl-2.0.html>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string HelpText() {
  return "Usage: brivlo-kolbet [-USEIPX]\n"
         "Brivlo Kolbet, a trick-taking card game for two with the German-suited deck,\n"
         "in Bavarian dialect. It opens full screen and reads its data files kolbet.dat,\n"
         "Kolbet.snd and the music *.kbm from the folder it is started in.\n"
         "\n"
         "  -USEIPX     network games over IPX in place of TCP/IP, in any letter case;\n"
         "              this program has no IPX transport, so the lobby then reports\n"
         "              \"Provider of specified GUID is not found\"\n"
         "  --help      print this help and exit\n"
         "  --version   print the version and exit\n"
         "\n"
         "Any other argument is ignored.\n";
}

}  // namespace

std::optional<std::string> InformationText(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help") return HelpText();
    if (argument == "--version") return VersionText();
  }
  return std::nullopt;
}

bool AnswerInformationSwitch(int argc, const char* const* argv, std::FILE* out) {
  const std::optional<std::string> text = InformationText(argc, argv);
  if (!text) return false;
  std::fputs(text->c_str(), out);
  std::fflush(out);
  return true;
}

}  // namespace kolbet
