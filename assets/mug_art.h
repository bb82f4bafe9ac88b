#pragma once
// The beer-mug drawings of the window: the level pictures of the options
// panel, the table cursor and the program's icon. All are painted as vector
// shapes at the size asked for, so they stay sharp on any screen.

#include <QImage>

namespace kolbet {

// The level pictures: 0..4 an empty mug, a little beer, a third full, half full,
// and full with a head of foam; -1 the empty mug crossed out in red (off).
// 24 × 32 surface pixels on a pure blue ground (the panel's blue), drawn at
// `scale` device pixels per surface pixel. Any other level draws the empty mug.
QImage MugPicture(int level, double scale = 1);

// The table cursor: a full beer mug with foam, 32 × 32 × scale, transparent
// around it, with a dark outline. The rim's left corner lies in the top-left
// pixel, so the hot spot at (0, 0) is the pointer's tip.
QImage TableCursorPicture(double scale = 1);

// The program's icon, the same full mug standing upright, `size` × `size`,
// transparent ground.
QImage MugIcon(int size);

}  // namespace kolbet
