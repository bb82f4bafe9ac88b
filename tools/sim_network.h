#pragma once
// kolbet-sim's network seats: a session of the game's session service played
// by the fixed policy of NetSeat, for a sparring partner and the protocol's checks.

#include <cstdint>
#include <string>

#include "tools/sim_driver.h"

namespace kolbet {

struct NetSimOptions {
  bool Host = true;     // --host NAME creates the session, --join NAME joins it
  std::string Name;     // the session's name (on the host also its player's)
  std::string Address;  // --join: the machine to search; empty for the local network
  std::uint32_t Seed = 0;
  int Hands = 10;       // --host: leave once this many hands are scored
  std::uint16_t Port = 29184;
};

// Runs one seat on an event loop of its own until it is done; returns the exit
// code: 0 when it played to its end, 1 when the session could not be opened
// (the service's text is on standard error).
int RunNetworkSeat(const NetSimOptions& options, Transcript& transcript);

}  // namespace kolbet
