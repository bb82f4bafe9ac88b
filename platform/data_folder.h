#pragma once
// The folder the game reads its data files from. The files are opened by bare
// name in the working directory, so the game goes there first: started in a
// folder that holds the graphics pack it stays, as it always has; started
// anywhere else (a terminal in the home folder) it goes to its installed data
// folder, when that holds the pack.

#include <QString>
#include <string>
#include <vector>

namespace kolbet {

// Makes the folder that holds `pack` the working directory: the present one
// when it holds it, else `installed`. Returns the folders looked in, in that
// order, each once.
std::vector<QString> GoToDataFolder(const QString& pack, const QString& installed);

// The installed data folder of the program in `programFolder`: the data
// folder of the prefix the program was installed into (/usr/share/brivlo-kolbet
// for /usr/games/brivlo-kolbet), found the same way after a move of the prefix.
QString InstalledDataFolder(const QString& programFolder);

// "Datei kolbet.dat kann nicht geöffnet werden (gesucht in /home/sepp und in
// /usr/share/brivlo-kolbet)": a data file that none of the folders holds.
std::string NotFoundIn(const std::string& file, const std::vector<QString>& searched);

}  // namespace kolbet
