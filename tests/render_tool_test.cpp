// kolbet-render from the command line: the picture it writes is the surface's
// own scene, and bad options or a missing pack are refused.

#include <gtest/gtest.h>

#include "tests/fixture_files.h"

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "assets/graphics_pack.h"
#include "platform/qt_draw_surface.h"

using namespace kolbet;

namespace {

kolbet::fixtures::CommandRun Render(const std::string& args) {
  return kolbet::fixtures::RunCommand(std::string(KOLBET_RENDER) + " " + args);
}

const std::string Pack = KOLBET_RUN_DIR "/kolbet.dat";
const std::string State = "'20 P 3 -1 14 30 7 12 1 12 O 5 -1 -1 9 22 27 2 3'";

TEST(KolbetRender, WritesTheSceneTheSurfaceDraws) {
  const std::string out = testing::TempDir() + "render-" + std::to_string(getpid()) + ".png";
  const kolbet::fixtures::CommandRun run = Render("--pack " + Pack + " --phase 2 --state " + State + " --out " + out);
  ASSERT_EQ(run.Status, 0) << run.Out;
  const QImage written(QString::fromStdString(out));
  std::filesystem::remove(out);
  ASSERT_EQ(written.size(), QSize(640, 480));

  TImageList koartn;
  LoadGraphics(Pack, koartn);
  TTable t;
  t.Phase = 2;
  t.AnnouncedCard = 20;
  t.PlayerSeat = {{3, -1, 14, 30, 7}, 12, 0, 1, 12};
  t.OpponentSeat = {{5, -1, -1, 9, 22}, 27, 0, 2, 3};
  QtDrawSurface s(koartn);
  s.Start(1, QImage::Format_RGB16);
  s.Draw(t);
  EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), s.Image().convertToFormat(QImage::Format_RGB32));
}

TEST(KolbetRender, RefusesBadOptionsWithTheUsage) {
  const std::string pack = "--pack " + Pack, out = " --out /nonexistent/never.png";
  const std::string seats = " 3 -1 14 30 7 12 1 12 O 5 -1 -1 9 22 27 2 3'";
  const std::string cases[] = {
      pack + " --phase 5 --colour blue" + out,
      pack + " --phase 5 --out",
      pack + " --phase 0" + out,
      pack + " --phase 13" + out,
      "--phase 5" + out,
      pack + " --phase 2" + out,                                 // a table needs a state
      pack + " --phase 2 --state '20 P" + seats.substr(0, 20) + "'" + out,  // cut short
      pack + " --phase 2 --state '20 O" + seats + out,          // the player's seat comes first
      pack + " --phase 2 --state '32 P" + seats + out,          // no such card
      pack + " --phase 2 --state '20 P 3 -1 14 30 7 12 6 12 O 5 -1 -1 9 22 27 2 3'" + out,   // six tricks
      pack + " --phase 2 --state '20 P 3 -1 14 30 7 12 1 -1 O 5 -1 -1 9 22 27 2 3'" + out,   // points below 0
  };
  for (const std::string& args : cases) {
    const kolbet::fixtures::CommandRun run = Render(args);
    EXPECT_EQ(run.Status, 2) << args;
    EXPECT_NE(run.Out.find("usage: kolbet-render"), std::string::npos) << args << "\n" << run.Out;
  }
}

TEST(KolbetRender, ReportsAPackItCannotRead) {
  const kolbet::fixtures::CommandRun run = Render("--pack /nonexistent/kolbet.dat --phase 5 --out /nonexistent/never.png");
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find("Datei /nonexistent/kolbet.dat kann nicht geöffnet werden"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("usage"), std::string::npos);
}

}  // namespace
