#pragma once
// Pictures made by ImageMagick at test time, and a small writer of packs.
//
// Each picture is made once per build folder (its file name carries a hash of
// the command) and read back as bytes; nothing made by another program is
// kept in the source tree.

#include <cstdint>
#include <string>
#include <vector>

#include "assets/picture.h"
#include "tests/fixture_files.h"

namespace kolbet::test {

using fixtures::Bytes;
using fixtures::ReadFile;
using fixtures::WriteFile;

// The folder the fixtures are made in (created on first use).
std::string FixtureDir();

// Runs `convert ARGS PREFIX:OUT` and returns the bytes of OUT; `ext` is the
// file type ImageMagick writes ("jpg", "gif"), `prefix` an optional coder
// such as "GIF87". A failing command fails the test and gives no bytes.
Bytes Convert(const std::string& args, const std::string& ext, const std::string& prefix = "");


// Builds a pack: streams are appended where the test says, entries set by hand.
struct PackWriter {
  Bytes Data = Bytes(288, 0);

  // Appends `gap` filler bytes and then the stream; returns the stream's offset.
  int Append(const Bytes& stream, int gap = 0);
  void SetEntry(int entry, std::int32_t offset);
};

// The offset of the first image separator of a GIF (the byte 0x2C), or -1.
int GifImageSeparator(const Bytes& gif);

// Whether a pixel is within `tolerance` of the colour in every channel.
bool Near(std::uint32_t pixel, int r, int g, int b, int tolerance = 12);

}  // namespace kolbet::test
