#pragma once
// The music list `Dmusi`: the "*.kbm" files of the working directory, one of
// which plays as background music in item 57 of the sound bank.

#include <string>
#include <vector>

#include "game/table_state.h"

namespace kolbet {

class TSoundBank;

struct TMusicList {
  std::vector<std::string> Entries;  // file names without ".kbm", in the order found
  int Selected = -1;                 // index into Entries, -1: none
};

// Fills the list with the music files of the folder, in the order the file
// system gives them. Hidden files (names beginning with a dot), folders and
// anything else that is not a regular file are left out. Selects nothing.
void GetKBMFiles(TMusicList& list, const std::string& folder = ".");

// The selection handler: stops the music, loads the chosen file into the
// music item (when an entry is selected) and starts it unless the music is
// off. The file is opened as entry + ".kbm" inside `folder`; an empty folder
// means the working directory, and the bare name is used.
void DmusiChange(TSoundBank& bank, const TMusicList& list, const TSettings& settings,
                 const std::string& folder = "");

}  // namespace kolbet
