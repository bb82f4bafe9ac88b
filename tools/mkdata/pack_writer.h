#pragma once
// The graphics pack "kolbet.dat": 72 little-endian offsets, then the streams.

#include <array>

#include "assets/graphics_pack.h"
#include "tools/mkdata/bytes.h"

namespace kolbet::mkdata {

// Entry k is the complete JPEG or GIF file that offset k points at. Equal
// streams are stored once and their entries share the offset, so the card
// overlays (all of one shape) cost one copy. Streams follow the table in entry
// order, each starting right after the previous one.
Bytes WritePack(const std::array<Bytes, PackEntryCount>& streams);

}  // namespace kolbet::mkdata
