// The ".kbm" file type for the desktop: the entry and icon it writes, checked
// with the desktop's own MIME database tool, and when the database is refreshed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <filesystem>

#include "assets/data_error.h"
#include "platform/mime_registration.h"
#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
  const auto bytes = soundtest::ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(MimeRegistration, WritesTheTypeAndRefreshesOnlyWhenItChanged) {
  const std::string data = soundtest::FixtureDir() + "/data-" + std::to_string(getpid());
  fs::remove_all(data);
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  int refreshes = 0;
  const MimeRefresh refresh = [&](const QString& mime) {
    ++refreshes;
    EXPECT_EQ(QProcess::execute("update-mime-database", {mime}), 0);
  };

  RegisterKbmFileType("mug", refresh);
  EXPECT_EQ(refreshes, 1);
  // What the desktop's database makes of the entry: the glob, the icon, the comment.
  EXPECT_NE(Read(data + "/mime/globs2").find("audio/x-kolbet-musi:*.kbm"), std::string::npos);
  EXPECT_NE(Read(data + "/mime/icons").find("audio/x-kolbet-musi:audio-x-kolbet-musi"), std::string::npos);
  EXPECT_NE(Read(data + "/mime/audio/x-kolbet-musi.xml").find("<comment>Kolbet Musi</comment>"), std::string::npos);
  EXPECT_EQ(Read(data + "/" + KbmMimeIcon), "mug");

  // Rewritten at the next start, but an unchanged entry needs no refresh.
  RegisterKbmFileType("Maß", refresh);
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(Read(data + "/" + KbmMimeIcon), "Maß");

  soundtest::WriteFile(data + "/" + KbmMimePackage, {'<', '/', '>'});
  RegisterKbmFileType("Maß", refresh);
  EXPECT_EQ(refreshes, 2);

  // A folder that cannot be made: the error names the file, nothing is refreshed.
  fs::remove_all(data + "/mime");
  soundtest::WriteFile(data + "/mime", {});
  try {
    RegisterKbmFileType("Maß", refresh);
    ADD_FAILURE() << "no error";
  } catch (const DataError& e) {
    EXPECT_EQ(e.what(), "Konnte Daten für '" + data + "/" + KbmMimePackage + "' nicht setzen");
  }
  EXPECT_EQ(refreshes, 2);

  // Known system-wide, as the package installs it: nothing of the user's is written.
  const std::string system = data + "-system";
  fs::remove_all(data);
  fs::create_directories(system + "/mime/packages");
  soundtest::WriteFile(system + "/" + KbmMimePackage, {'<', '/', '>'});
  setenv("XDG_DATA_DIRS", (system + ":/usr/share").c_str(), 1);
  RegisterKbmFileType("Maß", refresh);
  unsetenv("XDG_DATA_DIRS");
  EXPECT_FALSE(fs::exists(data));
  EXPECT_EQ(refreshes, 2);
  fs::remove_all(system);
}

}  // namespace
}  // namespace kolbet
