// Where the game reads its data files: the folder it starts in when that
// holds the pack, else its installed data folder; the error names both.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <filesystem>
#include <fstream>

#include "platform/data_folder.h"

namespace kolbet {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, StaysWhereThePackIsElseGoesToTheInstalledOne) {
  const fs::path root = fs::temp_directory_path() / ("kolbet-data-folder-" + std::to_string(getpid()));
  const fs::path started = root / "home", installed = root / "share" / "brivlo-kolbet", other = root / "other";
  for (const fs::path& folder : {started, installed, other}) fs::create_directories(folder);
  const QString previous = QDir::currentPath();
  const auto q = [](const fs::path& path) { return QString::fromStdString(path.string()); };
  struct Case {
    fs::path PackIn;  // empty: nowhere
    fs::path Start, Ends;
    std::vector<QString> Searched;
  };
  for (const Case& c : {Case{started, started, started, {q(started)}},
                        Case{installed, started, installed, {q(started), q(installed)}},
                        Case{installed, installed, installed, {q(installed)}},
                        Case{{}, started, started, {q(started), q(installed)}}}) {
    fs::remove(started / "kolbet.dat");
    fs::remove(installed / "kolbet.dat");
    if (!c.PackIn.empty()) std::ofstream(c.PackIn / "kolbet.dat") << "pack";
    fs::current_path(c.Start);
    // The installed folder as the program sees it, by a path with ".." in it.
    EXPECT_EQ(GoToDataFolder("kolbet.dat", q(other / ".." / "share" / "brivlo-kolbet")), c.Searched);
    EXPECT_EQ(fs::current_path(), c.Ends);
  }
  EXPECT_EQ(NotFoundIn("kolbet.dat", {"/home/sepp", "/usr/share/brivlo-kolbet"}),
            "Datei kolbet.dat kann nicht geöffnet werden (gesucht in /home/sepp und in /usr/share/brivlo-kolbet)");
  QDir::setCurrent(previous);
  fs::remove_all(root);
}

}  // namespace
}  // namespace kolbet
