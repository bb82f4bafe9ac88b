#include "assets/music_list.h"

#include <filesystem>
#include <system_error>

#include "assets/sound_bank.h"
#include "rules/sound_items.h"

namespace kolbet {

namespace {

constexpr std::string_view MusicExtension = ".kbm";

}  // namespace

void GetKBMFiles(TMusicList& list, const std::string& folder) {
  list.Entries.clear();
  list.Selected = -1;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  // A folder that cannot be read lists no music.
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    if (!name.ends_with(MusicExtension)) continue;
    std::error_code statError;
    if (!it->is_regular_file(statError)) continue;
    list.Entries.push_back(name.substr(0, name.size() - MusicExtension.size()));
  }
}

void DmusiChange(TSoundBank& bank, const TMusicList& list, const TSettings& settings,
                 const std::string& folder) {
  bank.StopSound(ItemMusic);
  if (list.Selected >= 0 && list.Selected < static_cast<int>(list.Entries.size())) {
    const std::string file = list.Entries[static_cast<std::size_t>(list.Selected)] + ".kbm";
    bank.LoadItemWave(ItemMusic, folder.empty() ? file : (std::filesystem::path(folder) / file).string());
    bank.ReloadItem(ItemMusic);
  }
  if (settings.MusicVolume != -1) bank.PlaySound(ItemMusic, false);
}

}  // namespace kolbet
