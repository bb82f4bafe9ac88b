#include "tools/mkdata/bank_items.h"

#include <stdexcept>

#include "rules/cards.h"
#include "rules/sound_items.h"

namespace kolbet::mkdata {
namespace {

struct Phrase {
  int item;
  const char* name;
  const char* speech;  // respelt or completed for the synthesiser; nullptr: as the name
};

// Speech input may use the synthesiser's markup: [[...]] gives phonemes, and
// <prosody> slows or raises a word.
const Phrase Phrases[] = {
    {32, "Faak", "Faak!"},
    {33, "I brich ders Kreiz oh", nullptr},
    {34, "I hau di um", nullptr},
    {35, "I brich ders Knack", nullptr},
    {36, "Gruzefümferl", "Gruze fümferl!"},
    {37, "Sacklzement", "Sacklzement!"},
    {38, "Fixn", "Fixn!"},
    {39, "Kreizgruzefix", "Kreizgruzefix!"},
    {40, "Gitzaniat", "Gitza niat!"},
    {41, "Bscheißt ja", "[[pS'aIst]] ja!"},
    {42, "Den nimm i bülle", nullptr},
    {43, "Soch`n Schloch oh", "Sochn Schloch oh"},
    {44, "Soch d`Forb oh", "Soch [[tf'Orp]] oh"},
    {58, "Mei Fendt is fü stärker wia dei Lanz", nullptr},
    {59, "Des is a wia Ackern", nullptr},
    {60, "I ho vü mer Dower wia du", nullptr},
    {61, "Ist der Bauer nicht im Stall...", "Ist der Bauer nicht im Stall, hockt er beim Wirt auf jeden Fall."},
    {62, "Jawolll", "Jawoll!"},
    {63, "Hüüüühhh", "<prosody rate=\"x-slow\" pitch=\"high\">Hüüh</prosody>!"},
    {64, "Du kannst mer nix", nullptr},
    {65, "Stirbt der Bauer im Oktober...", "Stirbt der Bauer im Oktober, ist der Winter für ihn vorüber."},
    {66, "Ist der Bauer voll mit Wein...", "Ist der Bauer voll mit Wein, fährt der Bulldog ganz allein."},
    {67, "Liegt der Bauer unterm Tisch...", "Liegt der Bauer unterm Tisch, war der Obstler nimmer frisch."},
    {68, "Ists im Juli heiß und trocken...", "Ists im Juli heiß und trocken, bleibt der Bauer beim Wirt hocken."},
    {69, "Geht da Baua aafn Acka...", "Geht da Baua aafn Acka, spuit da Knecht beim Wirt Koartn."},
    {70, "Himmel Arsch und Wolkenbruch", "Himmel Arsch und Wolkenbruch!"},
    {71, "Grumenesn", "Grumenesn!"},
    {72, "Grumenuckl", "Grumenuckl!"},
    {73, "Himmel Arsch und Zwirn", "Himmel Arsch und Zwirn!"},
    {74, "Sakra", "Sakra!"},
    {75, "Ih zint dern Stoll oh", nullptr},
    {76, "Sakrament", "Sakrament!"},
    {77, "Trumpf oder Narrisch", nullptr},
};

}  // namespace

std::vector<ItemPlan> PlanBankItems() {
  std::vector<ItemPlan> items(ItemCount);
  for (int card = 0; card < CardCount; ++card) {
    items[card].name = CardName(card);
    items[card].speech = items[card].name;
    items[card].maxPlayingCount = 2;
  }
  for (int rank = 0; rank < 8; ++rank) items[ItemRankBase + rank].name = std::string(RankNames[rank]);
  for (int suit = 0; suit < 4; ++suit) items[ItemSuitBase + suit].name = std::string(SuitNames[suit]);
  for (int i = ItemRankBase; i < ItemSuitBase + 4; ++i) items[i].speech = items[i].name;
  items[ItemMusic].name = "Musi";
  items[ItemMusic].looped = true;
  for (const Phrase& ph : Phrases) {
    items[ph.item].name = ph.name;
    items[ph.item].speech = ph.speech ? ph.speech : ph.name;
  }
  for (int i = 0; i < ItemCount; ++i)
    if (items[i].name.empty()) throw std::logic_error("sound item " + std::to_string(i) + " has no name");
  return items;
}

std::string ToWindows1252(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size() && (utf8[i + 1] & 0xC0) == 0x80) {
      const unsigned code = ((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
      // Latin-1 letters are the same in Windows-1252; its 80..9F range is not.
      if (code < 0xA0) throw std::runtime_error("text not in Windows-1252: " + utf8);
      out += static_cast<char>(code);
      i += 2;
    } else {
      throw std::runtime_error("text not in Windows-1252: " + utf8);
    }
  }
  return out;
}

}  // namespace kolbet::mkdata
