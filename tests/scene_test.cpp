// The scenes against a surface that writes down every picture and text with
// the font it is drawn in.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game/scene.h"

using namespace kolbet;

namespace {

class RecordingSurface final : public DrawSurface {
 public:
  // Cards of an odd size, so that every div of the size formulas shows.
  int PictureWidth(int index) const override { return Size(index).first; }
  int PictureHeight(int index) const override { return Size(index).second; }
  void DrawPicture(int index, int x, int y) override { Log() << "picture " << index << " " << x << " " << y; }
  void DrawPictureRotated(int index, int x, int y, int w, int h, double px, double py, int angle) override {
    Log() << "rotated " << index << " " << x << " " << y << " " << w << "x" << h << " " << px << " " << py
          << " " << angle;
  }
  void SetFontName(std::string_view face) override { face_ = face; }
  void SetFontSize(int points) override { points_ = points; }
  void SetFontColour(std::uint32_t rgb) override { colour_ = rgb; }
  void DrawText(int x, int y, std::string_view utf8) override {
    Log() << "text " << x << " " << y << " '" << utf8 << "' " << face_ << " " << points_ << " " << std::hex
          << colour_;
  }
  // Half the point size per byte: the width follows the current font.
  int MeasureText(std::string_view utf8) override { return static_cast<int>(utf8.size()) * points_ / 2; }

  std::vector<std::string> calls;

 private:
  static std::pair<int, int> Size(int index) {
    if (index >= 0 && index < 32) return {211, 377};
    static const std::map<int, std::pair<int, int>> others = {
        {32, {101, 163}}, {33, {640, 480}}, {34, {640, 480}}, {35, {84, 480}}, {36, {84, 84}}, {38, {200, 150}}};
    const auto at = others.find(index);
    return at == others.end() ? std::pair{0, 0} : at->second;  // 37 holds no picture here
  }
  struct Line {
    explicit Line(std::vector<std::string>& into) : into_(into) {}
    ~Line() { into_.push_back(out_.str()); }
    template <typename T>
    Line& operator<<(const T& value) {
      out_ << value;
      return *this;
    }
    std::vector<std::string>& into_;
    std::ostringstream out_;
  };
  Line Log() { return Line(calls); }

  std::string face_ = "Courier";
  int points_ = 10;
  std::uint32_t colour_ = 0;
};

TTable TableInPlay() {
  TTable t;
  t.Phase = 2;
  t.AnnouncedCard = 20;  // Schölln Unta
  t.PlayerSeat.Hand = {3, -1, 14, 30, 7};
  t.PlayerSeat.TrickCard = 12;
  t.PlayerSeat.Tricks = 1;
  t.PlayerSeat.Points = 12;
  t.OpponentSeat.Hand = {5, -1, -1, 9, 22};
  t.OpponentSeat.TrickCard = 27;
  t.OpponentSeat.Tricks = 2;
  t.OpponentSeat.Points = 3;
  return t;
}

TEST(DrawScene, DrawsTheTableInItsFixedOrderAndPlaces) {
  RecordingSurface s;
  DrawScene(TableInPlay(), s);
  const std::vector<std::string> expected = {
      "picture 34 0 0",
      "picture 35 0 0",
      "rotated 27 300 170 90x81 0.5 0.5 -1",   // the opponent's trick card
      "rotated 12 450 360 105x93 0.5 0.5 -1",  // the player's
      "rotated 32 330 30 25x40 0.3 0.3 -20",   // slot 0; slot 1 empty on both sides
      "rotated 3 150 400 158x282 0.5 0.5 -20",
      "rotated 14 230 400 158x282 0.5 0.5 0",  // slot 2: no back, the opponent's slot is empty
      "rotated 32 390 30 25x40 0.3 0.3 10",
      "rotated 30 270 400 158x282 0.5 0.5 10",
      "rotated 32 410 30 25x40 0.3 0.3 20",
      "rotated 7 310 400 158x282 0.5 0.5 20",
      "picture 36 0 396",
      "picture 37 303 17",
      "text 0 0 '3' Arial 25 ff0000",
      "text 0 420 '12' Arial 25 ff0000",
      "text 0 30 '2' Arial 18 ff0000",
      "text 0 450 '1' Arial 18 ff0000",
      "text 552 20 'Schölln Unta' Arial 12 ffffff",          // 13 bytes × 6 = 78 wide, ends at 630
      "text 510 0 'Du muast ei`schmiern' Arial 12 ffffff",  // 20 bytes × 6
  };
  EXPECT_EQ(s.calls, expected);
}

TEST(DrawScene, DrawsTitleAndWaitingScreenAndTheTableWithoutPrompt) {
  RecordingSurface s;
  TTable t = TableInPlay();
  t.Phase = 5;
  DrawScene(t, s);
  EXPECT_EQ(s.calls, std::vector<std::string>{"picture 33 0 0"});

  // The waiting text takes the face last set on the surface: the surface's own
  // before any table scene, Arial after one.
  t.Phase = 7;
  const std::vector<std::string> waiting = {
      "picture 33 0 0", "picture 38 440 330", "text 0 0 'I woat aafn Mitspuella' Courier 25 ff0000"};
  s.calls.clear();
  DrawScene(t, s);
  EXPECT_EQ(s.calls, waiting);

  // Phase 8 has no prompt; without an announced card nothing shows at the top right.
  t.Phase = 8;
  s.calls.clear();
  DrawScene(t, s);
  EXPECT_EQ(s.calls.back(), "text 552 20 'Schölln Unta' Arial 12 ffffff");
  t.AnnouncedCard = -1;
  s.calls.clear();
  DrawScene(t, s);
  EXPECT_EQ(s.calls.back(), "text 0 450 '1' Arial 18 ff0000");

  t.Phase = 7;
  s.calls.clear();
  DrawScene(t, s);
  EXPECT_EQ(s.calls.back(), "text 0 0 'I woat aafn Mitspuella' Arial 25 ff0000");
}

}  // namespace
