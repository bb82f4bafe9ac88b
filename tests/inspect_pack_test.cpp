// kolbet-inspect --pack on a pack of ImageMagick pictures and on a broken one.

#include <gtest/gtest.h>

#include "tests/fixture_files.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <sys/wait.h>

#include "tests/graphics_fixtures.h"

using namespace kolbet::test;

namespace {

kolbet::fixtures::CommandRun Inspect(const std::string& args) {
  return kolbet::fixtures::RunCommand(std::string(KOLBET_INSPECT) + " " + args);
}

}  // namespace

TEST(InspectPack, ListsEveryPictureAndWritesPngs) {
  // One photograph and one transparent overlay for every card, a GIF for the
  // other pictures, the JPEG again for the table.
  const Bytes jpeg = Convert("-size 12x18 xc:orange", "jpg");
  const Bytes gif = Convert("-size 4x4 xc:blue -size 4x4 xc:white +append -transparent white", "gif");
  PackWriter pack;
  const int jpegAt = pack.Append(jpeg), gifAt = pack.Append(gif);
  for (int k = 0; k < 72; ++k) pack.SetEntry(k, (k <= 32 || k == 34) ? jpegAt : gifAt);

  const std::string dir = FixtureDir() + "/inspect-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  WriteFile(dir + "/kolbet.dat", pack.Data);

  const kolbet::fixtures::CommandRun run = Inspect("--pack " + dir + "/kolbet.dat --png " + dir + "/png");
  EXPECT_EQ(run.Status, 0) << run.Out;
  std::string expected;
  for (int i = 0; i < 39; ++i) {
    expected += "picture " + std::to_string(i) + ((i <= 32 || i == 34) ? " 12x18\n" : " 8x4\n");
  }
  EXPECT_EQ(run.Out, expected);
  for (int i = 0; i < 39; ++i) EXPECT_TRUE(std::filesystem::exists(dir + "/png/" + std::to_string(i) + ".png")) << i;

  pack.Data.resize(100);
  WriteFile(dir + "/kolbet.dat", pack.Data);
  const kolbet::fixtures::CommandRun broken = Inspect("--pack " + dir + "/kolbet.dat");
  EXPECT_EQ(broken.Status, 1);
  EXPECT_NE(broken.Out.find("ist beschädigt"), std::string::npos) << broken.Out;
  std::filesystem::remove_all(dir);
}
