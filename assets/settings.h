#pragma once
// The stored settings: the music and sound levels, the computer's strength,
// the first-trick rule and the chosen music, kept per user in
// $XDG_CONFIG_HOME/DRN/Kolbet.conf (see platform/settings_store.h). They are
// read once at start-up and written when the options panel is closed.

#include <string>
#include <vector>

#include "assets/music_list.h"
#include "game/table_state.h"

namespace kolbet {

class TSoundBank;

// What LoadOptions left: the settings and the music entry in force after
// the start, and the names of the stored values it could not read (of the
// wrong type), for which the game went on with the value it had.
struct TOptionsLoaded {
  TSettings Settings;
  std::string Music;
  std::vector<std::string> Unreadable;
};

// Reads the stored settings into `settings` (what is not stored keeps its
// value), selects the stored music in `dmusi` (entry 0 when the name is
// unknown, nothing when the list is empty), then, when `bank` is not null,
// starts the music (DmusiChange) and applies the volumes (SetStats). `bank`
// is null when the sound bank could not be read and the game runs silent.
// A stored value of the wrong type keeps the value it would have replaced,
// and the others are still read and applied; at the end the first such value
// throws DataError ("Ungültiger Datentyp für 'Skill'"). Music files are
// opened in `musicFolder` (empty: the working directory). `loaded`, when
// given, receives what was read, also when it throws.
void LoadOptions(TSettings& settings, TMusicList& dmusi, TSoundBank* bank, const std::string& musicFolder = "",
                 TOptionsLoaded* loaded = nullptr);

// Writes the five values in one go: the file then holds either all the new
// values or, after an error, the old file unchanged. A value that LoadOptions
// could not read (`loaded`) is written only once the player has changed it;
// until then the file keeps it as it was. A refusal throws DataError
// ("Konnte Daten für 'MusicVolume' nicht setzen"), naming the first value
// written.
void SaveOptions(const TSettings& settings, const TMusicList& dmusi, const TOptionsLoaded& loaded = {});

}  // namespace kolbet
