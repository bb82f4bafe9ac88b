#include "assets/option_levels.h"

#include <algorithm>

#include "assets/sound_bank.h"
#include "rules/sound_items.h"

namespace kolbet {

namespace {

constexpr int LevelOff = -1;
constexpr int LevelTop = 4;

int Step(int level, bool leftButton) { return leftButton ? level + 1 : level - 1; }

}  // namespace

void MusicLevelPressed(TSettings& settings, bool leftButton, TSoundBank* bank) {
  if (settings.MusicVolume == LevelOff && bank) bank->PlaySound(ItemMusic, false);
  settings.MusicVolume = std::clamp(Step(settings.MusicVolume, leftButton), LevelOff, LevelTop);
  if (settings.MusicVolume == LevelOff && bank) bank->StopSound(ItemMusic);
  if (bank) bank->SetStats(settings);
}

void SoundLevelPressed(TSettings& settings, bool leftButton) {
  settings.SoundVolume = std::clamp(Step(settings.SoundVolume, leftButton), LevelOff, LevelTop);
}

void SkillPressed(TSettings& settings, bool leftButton) {
  settings.Skill = Step(settings.Skill, leftButton);
  if (settings.Skill > LevelTop) settings.Skill = 0;
  if (settings.Skill < 0) settings.Skill = LevelTop;
}

void RulePressed(TSettings& settings) { settings.TrumpfoderNarrisch = !settings.TrumpfoderNarrisch; }

int VolumePicture(int level) { return level >= 0 && level <= LevelTop ? level : LevelOff; }

std::optional<int> SkillPicture(int skill) {
  if (skill >= 0 && skill <= LevelTop) return skill;
  return std::nullopt;
}

int RulePicture(bool on) { return on ? LevelTop : 0; }

std::string_view RowLabel(TOptionRow row) {
  switch (row) {
    case TOptionRow::Music:
      return "I spuell d'Musi";
    case TOptionRow::Sound:
      return "I gih mein Sempft dazua";
    case TOptionRow::Skill:
      return "Wia guat soll I spuelln?";
    case TOptionRow::Rule:
    default:
      return "Trumpf oder Narrisch";
  }
}

std::string LevelWords(TOptionRow row, const TSettings& s) {
  const auto volume = [](int level) {
    return (level < 0 ? std::string("aus") : std::to_string(level)) + ", am lautastn is " + std::to_string(LevelTop);
  };
  switch (row) {
    case TOptionRow::Music:
      return volume(s.MusicVolume);
    case TOptionRow::Sound:
      return volume(s.SoundVolume);
    case TOptionRow::Skill:
      return std::to_string(s.Skill) + ", am bestn is " + std::to_string(LevelTop);
    case TOptionRow::Rule:
    default:
      return s.TrumpfoderNarrisch ? "ja" : "Nein";
  }
}

}  // namespace kolbet
