#pragma once
// The per-user store of the settings: the file that QSettings keeps for
// organisation "DRN" and application "Kolbet", $XDG_CONFIG_HOME/DRN/Kolbet.conf.
// It holds named values of two types, 32-bit integers and strings, in its
// [General] section. Names are found whatever their letter case, as the game
// has always written one of them as "TrumpfOderNarrisch" and read it as
// "TrumpfoderNarrisch".

#include <QVariant>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "assets/data_error.h"

namespace kolbet {

// "Ungültiger Datentyp für 'Skill'": the stored value is not of the type asked for.
DataError InvalidDataType(const std::string& name);
// "Konnte Daten für 'MusicVolume' nicht setzen": the store refused a write.
DataError CannotSetData(const std::string& name);

// $XDG_CONFIG_HOME/DRN/Kolbet.conf (~/.config when the variable is not set),
// looked up anew at every call.
std::string SettingsFilePath();

struct TStoredValue {
  std::string Name;
  std::variant<std::int32_t, std::string> Value;
};

class TSettingsStore {
 public:
  explicit TSettingsStore(std::string path = SettingsFilePath());

  // Reads the file. False when there is none, or when it cannot be read, is
  // damaged, is larger than 1 MiB (the game's own is a few hundred bytes) or
  // holds a value that QSettings would decode as a binary stream
  // ("@Variant(...)", "@DateTime(...)"): then it counts as absent and every
  // read finds nothing.
  bool Open();

  // The value of that name (letter case not distinguished), nothing when it
  // is not stored. An integer must be a decimal 32-bit number and a string
  // must be plain text; anything else throws InvalidDataType(name).
  std::optional<std::int32_t> ReadInteger(const std::string& name) const;
  std::optional<std::string> ReadString(const std::string& name) const;

  // Writes all the values in one go: the new file replaces the old one whole,
  // or, when anything is refused, the old file stays as it was and
  // CannotSetData names the first value. Other values of the file are kept;
  // other spellings of a written name are dropped, so each is held once.
  // A damaged or oversized file is kept beside the new one as Kolbet.conf.damaged.
  void Write(const std::vector<TStoredValue>& values) const;

  const std::string& Path() const { return FilePath; }

 private:
  const QVariant* Find(const std::string& name) const;

  std::string FilePath;
  std::vector<std::pair<QString, QVariant>> Values;
};

}  // namespace kolbet
