// kolbet-sim: plays single games against the computer headless and prints a
// transcript of every sound, pause, press and table state, one event a line.
// With --host or --join it plays one seat of a network game instead, over the
// game's session service, and also prints every message sent and received.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "game/system_clock.h"
#include "tools/sim_driver.h"
#include "tools/sim_network.h"

namespace {

const char* const Usage =
    "usage: kolbet-sim [--seed S] [--skill K] [--rule 0|1] [--hands N]\n"
    "  --seed S   unsigned 32-bit seed of the random generator (default: the clock)\n"
    "  --skill K  skill of the computer player (default 2)\n"
    "  --rule R   1 turns the first-trick rule on (default 0)\n"
    "  --hands N  stop once N hands were scored (default 10)\n"
    "       kolbet-sim --host NAME [--seed S] [--hands N] [--port P]\n"
    "       kolbet-sim --join NAME [--address A] [--seed S] [--port P]\n"
    "  --host NAME   create the network session NAME, wait for a player, play N hands, leave\n"
    "  --join NAME   search for the session NAME (up to 10 s), join it, play until the host leaves\n"
    "  --address A   the machine to search (default: the local network)\n"
    "  --port P      the session service's port (default 29184)\n";

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  if (text.empty()) return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int Fail(const char* what, std::string_view value) {
  std::fprintf(stderr, "kolbet-sim: %s: '%.*s'\n%s", what, static_cast<int>(value.size()),
               value.data(), Usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  kolbet::SimOptions options;
  kolbet::NetSimOptions network;
  bool seedGiven = false;
  bool networkSeat = false;
  std::string_view singleOption, hostOption, joinOption, networkOption;  // last given of each group
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      std::fputs(Usage, stdout);
      return 0;
    }
    if (i + 1 >= argc) return Fail("option needs a value", option);
    const std::string_view value = argv[++i];
    if (option == "--seed") {
      if (!ParseNumber(value, options.Seed)) return Fail("seed must be an unsigned 32-bit number", value);
      seedGiven = true;
    } else if (option == "--skill") {
      if (!ParseNumber(value, options.Skill)) return Fail("skill must be a 32-bit integer", value);
      singleOption = option;
    } else if (option == "--rule") {
      if (value != "0" && value != "1") return Fail("rule must be 0 or 1", value);
      options.TrumpfoderNarrisch = value == "1";
      singleOption = option;
    } else if (option == "--hands") {
      if (!ParseNumber(value, options.Hands) || options.Hands < 0)
        return Fail("hands must be a number of 0 or more", value);
      hostOption = option;
    } else if (option == "--host" || option == "--join") {
      if (networkSeat) return Fail("only one of --host and --join", option);
      networkSeat = true;
      network.Host = option == "--host";
      network.Name = value;
    } else if (option == "--address") {
      network.Address = value;
      joinOption = networkOption = option;
    } else if (option == "--port") {
      if (!ParseNumber(value, network.Port) || network.Port == 0) return Fail("port must be 1 to 65535", value);
      networkOption = option;
    } else {
      return Fail("unknown option", option);
    }
  }
  if (!seedGiven) options.Seed = kolbet::SystemClock().MillisecondsOfDayUtc();

  if (networkSeat) {
    if (!singleOption.empty()) return Fail("option of single games only", singleOption);
    if (network.Host && !joinOption.empty()) return Fail("option of --join only", joinOption);
    if (!network.Host && !hostOption.empty()) return Fail("option of --host only", hostOption);
    network.Seed = options.Seed;
    network.Hands = options.Hands;
    kolbet::Transcript transcript(stdout);
    const int code = kolbet::RunNetworkSeat(network, transcript);
    transcript.Flush();
    return code != 0 ? code : std::ferror(stdout) ? 1 : 0;
  }
  if (!networkOption.empty()) return Fail("option of --host and --join only", networkOption);

  kolbet::Transcript transcript(stdout);
  kolbet::RunSimulation(options, transcript);
  transcript.Flush();
  return std::ferror(stdout) ? 1 : 0;
}
