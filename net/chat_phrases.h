#pragma once
// The phrases of the chat menu: each menu item is named "a" and two digits,
// the number of the sound-bank item it plays on both machines. The curses
// stand in the submenu "Fliach"; separators divide the rest.

#include <array>
#include <string_view>

namespace kolbet {

struct TChatPhrase {
  std::string_view Component;  // "a32": plays item 32
  std::string_view Caption;
  bool InFliach;               // in the submenu of curses
  bool SeparatorBefore;        // a dividing line stands before it
};

inline constexpr std::array<TChatPhrase, 29> ChatPhrases = {{
    {"a32", "Faak", true, false},
    {"a33", "I brich ders Kreiz oh", true, false},
    {"a34", "I hau di um", true, false},
    {"a36", "Gruzefümferl", true, false},
    {"a35", "I brich ders Knack", true, false},
    {"a37", "Sacklzement", true, false},
    {"a38", "Fixn", true, false},
    {"a39", "Kreizgruzefix", true, false},
    {"a40", "Gitzaniat", true, false},
    {"a41", "Bscheißt ja", true, false},
    {"a73", "Himmel Arsch und Zwirn", true, false},
    {"a71", "Grumenesn", true, false},
    {"a70", "Himmel Arsch und Wolkenbruch", true, false},
    {"a72", "Grumenuckl", true, false},
    {"a74", "Sakra", true, false},
    {"a75", "Ih zint dern Stoll oh", true, false},
    {"a76", "Sakrament", true, false},
    {"a42", "Den nimm i bülle", false, false},
    {"a58", "Mei Fendt is fü stärker wia dei Lanz", false, true},
    {"a59", "Des is a wia Ackern", false, false},
    {"a60", "I ho vü mer Dower wia du", false, false},
    {"a62", "Jawolll", false, false},
    {"a63", "Hüüüühhh", false, false},
    {"a64", "Du kannst mer nix", false, false},
    {"a61", "Ist der Bauer nicht im Stall...", false, true},
    {"a65", "Stirbt der Bauer im Oktober...", false, false},
    {"a66", "Ist der Bauer voll mit Wein...", false, false},
    {"a68", "Ists im Juli heiß und trocken...", false, false},
    {"a69", "Geht da Baua aafn Acka...", false, false},
}};

// The sound item a menu item's name stands for: the two characters after its
// leading "a" read as a decimal number; -1 for any other name.
constexpr int PhraseItem(std::string_view component) {
  if (component.size() != 3 || component[0] != 'a') return -1;
  const char tens = component[1], ones = component[2];
  if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return -1;
  return (tens - '0') * 10 + (ones - '0');
}

}  // namespace kolbet
