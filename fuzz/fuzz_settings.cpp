// Any bytes as the settings file, read by LoadOptions from a temporary
// $XDG_CONFIG_HOME: the values and the chosen music, or a DataError for a
// value of the wrong type.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>

#include "assets/data_error.h"
#include "assets/settings.h"

namespace {

std::string Folder;
std::string ConfigFile;

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/kolbet-fuzz-settings-XXXXXX";
  if (mkdtemp(folder) == nullptr) std::abort();
  Folder = folder;
  std::atexit(RemoveFolder);
  setenv("XDG_CONFIG_HOME", folder, 1);
  const std::string drn = std::string(folder) + "/DRN";
  mkdir(drn.c_str(), 0700);
  ConfigFile = drn + "/Kolbet.conf";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(ConfigFile.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  kolbet::TSettings settings;
  kolbet::TMusicList dmusi;
  dmusi.Entries = {"Polka", "Walzer", "Marsch"};
  try {
    kolbet::LoadOptions(settings, dmusi, nullptr);
  } catch (const kolbet::DataError&) {
    // A value of the wrong type: reported after the rest is read.
  }
  // Some music is always chosen from a list that has any.
  if (dmusi.Selected < 0 || dmusi.Selected >= static_cast<int>(dmusi.Entries.size())) std::abort();
  return 0;
}
