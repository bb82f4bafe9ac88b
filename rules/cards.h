#pragma once
// Cards, their names and their strength under the announced card.
//
// A card is suit * 8 + rank (0..31); -1 means no card. The same number indexes
// the card's picture and its spoken name.

#include <array>
#include <string>
#include <string_view>

namespace kolbet {

inline constexpr int NoCard = -1;
inline constexpr int CardCount = 32;

// The three top cards, strongest first; they outrank everything in every hand.
inline constexpr int HirzKini = 30;
inline constexpr int SchoellnSima = 16;
inline constexpr int OachlSima = 8;

// Names as shown on the table. The umlaut is UTF-8 here; the window shows it as
// text, the sound bank never sees these strings.
inline constexpr std::array<std::string_view, 4> SuitNames = {"Gria", "Oachl", "Schölln", "Hirz"};
inline constexpr std::array<std::string_view, 8> RankNames = {"Sima", "Ochta", "Neina", "Zirna",
                                                              "Unta", "Baua",  "Kini",  "Sau"};

constexpr int SuitOf(int card) { return card / 8; }
constexpr int RankOf(int card) { return card % 8; }
constexpr int MakeCard(int suit, int rank) { return suit * 8 + rank; }
constexpr bool IsCard(int card) { return card >= 0 && card < CardCount; }
constexpr bool IsTopCard(int card) { return card == HirzKini || card == SchoellnSima || card == OachlSima; }

// "Hirz Kini" for card 30.
std::string CardName(int card);

// Strength class 0..6 of a card while `announced` is the announced card:
// 6 card 30, 5 card 16, 4 card 8, 3 the announced card, 2 the announced rank,
// 1 the announced suit, 0 plain. Classes 1 and up are the trumps.
int CardClass(int card, int announced);

// One number 0..20 that orders all cards of the hand; plain cards of different
// suits share values.
int CardValue(int card, int announced);

// Whether `answer` takes the trick from the `led` card; the leader keeps ties.
bool Beats(int led, int answer, int announced);

inline bool IsTrump(int card, int announced) { return card >= 0 && CardClass(card, announced) >= 1; }

}  // namespace kolbet
