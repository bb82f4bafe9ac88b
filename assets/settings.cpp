#include "assets/settings.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "assets/sound_bank.h"
#include "platform/settings_store.h"

namespace kolbet {

namespace {

// The rule's value is written "TrumpfOderNarrisch" and read
// "TrumpfoderNarrisch"; the store does not tell the two apart.
constexpr const char* RuleWritten = "TrumpfOderNarrisch";
constexpr const char* RuleRead = "TrumpfoderNarrisch";

std::string SelectedMusic(const TMusicList& dmusi) {
  const bool selected = dmusi.Selected >= 0 && dmusi.Selected < static_cast<int>(dmusi.Entries.size());
  return selected ? dmusi.Entries[static_cast<std::size_t>(dmusi.Selected)] : std::string();
}

// Names as the store compares them: letter case not distinguished.
bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) ==
                                                std::tolower(static_cast<unsigned char>(y)); });
}

// Reads one value; one of the wrong type is noted and applies nothing.
template <typename Read, typename Apply>
void ReadInto(const char* name, Read read, Apply apply, std::vector<std::string>& unreadable) {
  try {
    if (auto value = read(name)) apply(*value);
  } catch (const DataError&) {
    unreadable.emplace_back(name);
  }
}

}  // namespace

void LoadOptions(TSettings& settings, TMusicList& dmusi, TSoundBank* bank, const std::string& musicFolder,
                 TOptionsLoaded* loaded) {
  // 1. The stored values, in this order, each only when it is there. One of
  //    the wrong type is passed over; the rest are still read.
  std::string storedMusic;
  std::vector<std::string> unreadable;
  TSettingsStore store;
  if (store.Open()) {
    const auto integer = [&](const char* name) { return store.ReadInteger(name); };
    const auto text = [&](const char* name) { return store.ReadString(name); };
    ReadInto("MusicVolume", integer, [&](int v) { settings.MusicVolume = v; }, unreadable);
    ReadInto("SoundVolume", integer, [&](int v) { settings.SoundVolume = v; }, unreadable);
    ReadInto("Skill", integer, [&](int v) { settings.Skill = v; }, unreadable);
    ReadInto("MusicName", text, [&](const std::string& v) { storedMusic = v; }, unreadable);
    ReadInto(RuleRead, integer, [&](int v) { settings.TrumpfoderNarrisch = v != 0; }, unreadable);
  }

  // 2. The first entry, then the last entry whose text is the stored name,
  //    letter case distinguished.
  dmusi.Selected = -1;
  for (std::size_t i = 0; i < dmusi.Entries.size(); ++i) {
    if (i == 0 || dmusi.Entries[i] == storedMusic) dmusi.Selected = static_cast<int>(i);
  }
  if (loaded) *loaded = {settings, SelectedMusic(dmusi), unreadable};

  // 3. and 4. Start the music and apply the levels.
  if (bank) {
    DmusiChange(*bank, dmusi, settings, musicFolder);
    bank->SetStats(settings);
  }
  if (!unreadable.empty()) throw InvalidDataType(unreadable.front());
}

void SaveOptions(const TSettings& settings, const TMusicList& dmusi, const TOptionsLoaded& loaded) {
  const std::string music = SelectedMusic(dmusi);
  const TSettings& before = loaded.Settings;
  const std::vector<std::pair<TStoredValue, bool>> values = {
      {{"MusicVolume", settings.MusicVolume}, settings.MusicVolume != before.MusicVolume},
      {{"SoundVolume", settings.SoundVolume}, settings.SoundVolume != before.SoundVolume},
      {{"Skill", settings.Skill}, settings.Skill != before.Skill},
      {{RuleWritten, settings.TrumpfoderNarrisch ? 1 : 0}, settings.TrumpfoderNarrisch != before.TrumpfoderNarrisch},
      {{"MusicName", music}, music != loaded.Music},
  };
  std::vector<TStoredValue> written;
  for (const auto& [value, changed] : values) {
    const std::string& writtenName = value.Name;
    const bool unreadable = std::any_of(loaded.Unreadable.begin(), loaded.Unreadable.end(),
                                        [&](const std::string& name) { return SameName(name, writtenName); });
    if (changed || !unreadable) written.push_back(value);
  }
  TSettingsStore().Write(written);
}

}  // namespace kolbet
