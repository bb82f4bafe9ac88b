#pragma once
// The table state: the two seats, the phase and the flags that every handler
// reads and writes. Plain data, owned by whoever runs the game.

#include <array>
#include <cstdint>
#include <string>

namespace kolbet {

// One seat: nine 32-bit integers, always kept and sent in this order.
struct TSeat {
  std::array<std::int32_t, 5> Hand{};  // card or -1; a played card leaves -1 in its slot
  std::int32_t TrickCard = 0;          // card this seat put into the current trick, or -1
  std::int32_t ChosenRank = 0;         // rank the computer named, kept until the suit is named
  std::int32_t Tricks = 0;             // tricks won in this hand
  std::int32_t Points = 0;             // hands won since the counters were last reset
  friend bool operator==(const TSeat&, const TSeat&) = default;
};

// The phases; each tells the handlers which input is expected.
inline constexpr int PhaseLead = 1;              // single game: the player leads
inline constexpr int PhaseFollow = 2;            // single game: the player answers the computer's card
inline constexpr int PhaseAnnounceRank = 3;      // single game: the player names the rank
inline constexpr int PhaseAnnounceSuit = 4;      // single game: the player names the suit
inline constexpr int PhaseTitle = 5;             // no game: menu, options or lobby over the title
inline constexpr int PhaseFollowTrump = 6;       // single game: answer to the announced card led first; trumps only
inline constexpr int PhaseWaitPeer = 7;          // a session is open and the second player is awaited
inline constexpr int PhaseNetWait = 8;           // the remote player is to move
inline constexpr int PhaseNetAnnounceRank = 9;   // network game: the player names the rank
inline constexpr int PhaseNetAnnounceSuit = 10;  // network game: the player names the suit
inline constexpr int PhaseNetLead = 11;          // network game: the player leads
inline constexpr int PhaseNetFollow = 12;        // network game: the player answers

struct TTable {
  TSeat PlayerSeat;    // the local player, bottom of the screen
  TSeat OpponentSeat;  // the computer or the remote player, top
  int Phase = PhaseTitle;
  bool PlayerAnnouncesRank = false;  // flipped at every deal; true: the player names the rank
  int AnnouncedCard = -1;            // suit * 8 + rank once both are named, else -1
  int RemoteRank = 0;                // network game: the named rank until the suit arrives
  bool NetworkGame = false;
  bool NeedsRedraw = true;
  int HoverSlot = -1;                // the hand slot under the pointer, -1 for none
  std::int32_t HoverCard = -1;       // the card that lay in that slot when the pointer came
  bool UseIPX = false;
  std::string HostAddress;
};

// The settings beside the table state.
struct TSettings {
  int MusicVolume = 2;  // -1 (off) to 4
  int SoundVolume = 2;  // -1 (off) to 4
  int Skill = 2;        // 0 to 4 from the options panel; the stored value may be anything
  bool TrumpfoderNarrisch = false;  // first-trick rule of single games
};

}  // namespace kolbet
