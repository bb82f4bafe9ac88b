#include "game/scene.h"

#include <string>

#include "assets/picture.h"
#include "game/phase_machine.h"
#include "rules/cards.h"

namespace kolbet {

namespace {

constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t White = 0xFFFFFF;

// Texts at the top right end at this x.
constexpr int RightEdge = 630;

void DrawTitleScene(DrawSurface& s) { s.DrawPicture(TitleImage, 0, 0); }

// The face is not chosen here: the text takes the face last set on the surface.
void DrawWaitingScene(DrawSurface& s) {
  s.DrawPicture(TitleImage, 0, 0);
  s.DrawPicture(WaitingImage, 640 - s.PictureWidth(WaitingImage), 480 - s.PictureHeight(WaitingImage));
  s.SetFontColour(Red);
  s.SetFontSize(25);
  s.DrawText(0, 0, "I woat aafn Mitspuella");
}

void DrawRightAligned(DrawSurface& s, int y, std::string_view text) {
  if (text.empty()) return;
  s.DrawText(RightEdge - s.MeasureText(text), y, text);
}

void DrawTableScene(const TTable& t, DrawSurface& s) {
  const TSeat& player = t.PlayerSeat;
  const TSeat& opponent = t.OpponentSeat;

  // 1, 2: the background and the picture under the cards at the left edge.
  s.DrawPicture(TableImage, 0, 0);
  s.DrawPicture(LeftEdgeUnderImage, 0, 480 - s.PictureHeight(LeftEdgeUnderImage));

  // 3, 4: the trick cards lie almost straight, one step anticlockwise; their
  // height is scaled by half the factor of their width, the opponent's card
  // smaller and further up.
  if (opponent.TrickCard != NoCard) {
    const int w = s.PictureWidth(opponent.TrickCard), h = s.PictureHeight(opponent.TrickCard);
    s.DrawPictureRotated(opponent.TrickCard, 300, 170, ((7 * w) / 12) / 4 * 3, ((7 * h) / 24) / 4 * 3,
                         0.5, 0.5, -1);
  }
  if (player.TrickCard != NoCard) {
    const int w = s.PictureWidth(player.TrickCard), h = s.PictureHeight(player.TrickCard);
    s.DrawPictureRotated(player.TrickCard, 450, 360, ((4 * w) / 6) / 4 * 3, ((4 * h) / 12) / 4 * 3,
                         0.5, 0.5, -1);
  }

  // 5: the opponent's backs fan out at the top, the player's cards at the
  // bottom; slot 0 leans left, and an empty slot leaves a gap.
  const int backW = s.PictureWidth(CardBackImage), backH = s.PictureHeight(CardBackImage);
  for (int i = 0; i < 5; ++i) {
    const int angle = 10 * i - 20;
    if (opponent.Hand[i] != NoCard)
      s.DrawPictureRotated(CardBackImage, 330 + 20 * i, 30, backW / 4, backH / 4, 0.3, 0.3, angle);
    const int card = player.Hand[i];
    if (card != NoCard)
      s.DrawPictureRotated(card, 150 + 40 * i, 400, (3 * s.PictureWidth(card)) / 4,
                           (3 * s.PictureHeight(card)) / 4, 0.5, 0.5, angle);
  }

  // 6, 7: the pictures laid over the cards.
  s.DrawPicture(LeftEdgeOverImage, 0, 480 - s.PictureHeight(LeftEdgeOverImage));
  s.DrawPicture(SmallImage, 303, 17);

  // 8: points and tricks at the left, the opponent's above the player's; the
  // announced card and the prompt at the top right.
  s.SetFontName("Arial");
  s.SetFontColour(Red);
  s.SetFontSize(25);
  s.DrawText(0, 0, std::to_string(opponent.Points));
  s.DrawText(0, 420, std::to_string(player.Points));
  s.SetFontSize(18);
  s.DrawText(0, 30, std::to_string(opponent.Tricks));
  s.DrawText(0, 450, std::to_string(player.Tricks));
  s.SetFontSize(12);
  s.SetFontColour(White);
  if (t.AnnouncedCard != NoCard) DrawRightAligned(s, 20, CardName(t.AnnouncedCard));
  DrawRightAligned(s, 0, PhasePrompt(t.Phase));
}

}  // namespace

void DrawSpokenLine(DrawSurface& s, std::string_view line) {
  s.SetFontName("Arial");
  s.SetFontSize(12);
  s.SetFontColour(White);
  DrawRightAligned(s, 40, line);
}

void DrawScene(const TTable& table, DrawSurface& surface) {
  switch (table.Phase) {
    case PhaseTitle:
      DrawTitleScene(surface);
      break;
    case PhaseWaitPeer:
      DrawWaitingScene(surface);
      break;
    default:
      DrawTableScene(table, surface);
      break;
  }
}

}  // namespace kolbet
