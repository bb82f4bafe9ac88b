#include "rules/cards.h"

namespace kolbet {

std::string CardName(int card) {
  if (!IsCard(card)) return {};
  std::string name(SuitNames[SuitOf(card)]);
  name += ' ';
  name += RankNames[RankOf(card)];
  return name;
}

int CardClass(int card, int announced) {
  // Each test that holds replaces the result, so the later tests win.
  int cls = 0;
  if (SuitOf(card) == SuitOf(announced)) cls = 1;
  if (RankOf(card) == RankOf(announced)) cls = 2;
  if (card == announced) cls = 3;
  if (card == OachlSima) cls = 4;
  if (card == SchoellnSima) cls = 5;
  if (card == HirzKini) cls = 6;
  return cls;
}

int CardValue(int card, int announced) {
  const int cls = CardClass(card, announced);
  if (cls == 0) return RankOf(card);
  if (cls == 1) return RankOf(card) + 8;
  return cls + 14;
}

bool Beats(int led, int answer, int announced) {
  const int ledClass = CardClass(led, announced);
  const int answerClass = CardClass(answer, announced);
  if (answerClass > ledClass) return true;
  return answerClass == ledClass && answerClass <= 1 && SuitOf(answer) == SuitOf(led) &&
         RankOf(answer) > RankOf(led);
}

}  // namespace kolbet
