#pragma once
// Numbers of the sound-bank items the game plays. Items 0 to 31 are the card
// names, item n for card n.

namespace kolbet {

inline constexpr int ItemCloseTake = 42;       // "Den nimm i bülle"
inline constexpr int ItemCallRank = 43;        // the player is to name the rank
inline constexpr int ItemCallSuit = 44;        // the player is to name the suit
inline constexpr int ItemRankBase = 45;        // 45 + rank: the name of a rank
inline constexpr int ItemSuitBase = 53;        // 53 + suit: the name of a suit
inline constexpr int ItemMusic = 57;           // background music
inline constexpr int ItemPhraseBase = 58;      // 58 to 69: boasts and sayings
inline constexpr int ItemPhraseCount = 12;
inline constexpr int ItemFirstTrickCall = 77;  // announced card led to the first trick
inline constexpr int ItemCount = 78;           // a bank holds at least this many items

}  // namespace kolbet
