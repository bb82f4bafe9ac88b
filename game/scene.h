#pragma once
// The three scenes the frame handler draws: the title, the waiting screen of a
// network game and the table. Every picture's place follows from the table
// state alone; nothing is cleared first, so whatever the first picture does not
// cover keeps what was there before.

#include <string_view>

#include "game/draw_surface.h"
#include "game/table_state.h"

namespace kolbet {

// Draws the scene for `table.Phase`: phase 5 the title, phase 7 the waiting
// screen, every other phase the table with the phase's prompt.
void DrawScene(const TTable& table, DrawSurface& surface);

// Over a table scene: a line for what was only spoken, in the prompt's white
// text at the top right under the announced card, clear of the cards.
void DrawSpokenLine(DrawSurface& surface, std::string_view line);

}  // namespace kolbet
