#include "assets/settings.h"

#include "assets/sound_bank.h"
#include "platform/settings_store.h"

namespace kolbet {

namespace {

// The rule's value is written "TrumpfOderNarrisch" and read
// "TrumpfoderNarrisch"; the store does not tell the two apart.
constexpr const char* RuleWritten = "TrumpfOderNarrisch";
constexpr const char* RuleRead = "TrumpfoderNarrisch";

}  // namespace

void LoadOptions(TSettings& settings, TMusicList& dmusi, TSoundBank* bank) {
  LoadOptions(settings, dmusi, bank, std::string());
}

void LoadOptions(TSettings& settings, TMusicList& dmusi, TSoundBank* bank, const std::string& musicFolder) {
  // 1. The stored values, in this order, each only when it is there. A value
  //    of the wrong type ends everything here.
  std::string storedMusic;
  TSettingsStore store;
  if (store.Open()) {
    if (auto value = store.ReadInteger("MusicVolume")) settings.MusicVolume = *value;
    if (auto value = store.ReadInteger("SoundVolume")) settings.SoundVolume = *value;
    if (auto value = store.ReadInteger("Skill")) settings.Skill = *value;
    if (auto value = store.ReadString("MusicName")) storedMusic = *value;
    if (auto value = store.ReadInteger(RuleRead)) settings.TrumpfoderNarrisch = *value != 0;
  }

  // 2. The first entry, then the last entry whose text is the stored name,
  //    letter case distinguished.
  dmusi.Selected = -1;
  for (std::size_t i = 0; i < dmusi.Entries.size(); ++i) {
    if (i == 0 || dmusi.Entries[i] == storedMusic) dmusi.Selected = static_cast<int>(i);
  }

  // 3. and 4. Start the music and apply the levels.
  if (bank == nullptr) return;
  DmusiChange(*bank, dmusi, settings, musicFolder);
  bank->SetStats(settings);
}

void SaveOptions(const TSettings& settings, const TMusicList& dmusi) {
  const bool selected = dmusi.Selected >= 0 && dmusi.Selected < static_cast<int>(dmusi.Entries.size());
  const std::string music = selected ? dmusi.Entries[static_cast<std::size_t>(dmusi.Selected)] : std::string();
  TSettingsStore().Write({
      {"MusicVolume", settings.MusicVolume},
      {"SoundVolume", settings.SoundVolume},
      {"Skill", settings.Skill},
      {RuleWritten, settings.TrumpfoderNarrisch ? 1 : 0},
      {"MusicName", music},
  });
}

}  // namespace kolbet
