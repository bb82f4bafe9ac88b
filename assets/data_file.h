#pragma once
// Reading a data file (the graphics pack, the sound bank, a music file) whole
// into memory, by the name it is opened with.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#include "assets/data_error.h"
#include "assets/stream_errors.h"

namespace kolbet {

// The whole content of a regular file. "Datei %s kann nicht geöffnet werden"
// when it is missing, unreadable or not a regular file; "Datei %s ist zu groß"
// beyond `maxSize` bytes, before anything is read; "Stream-Read-Fehler" when
// the file shrinks while it is read.
inline std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName,
                                               std::size_t maxSize = std::numeric_limits<std::size_t>::max()) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(fileName, error)) throw CannotOpenFile(fileName);
  std::ifstream in(fileName, std::ios::binary | std::ios::ate);
  if (!in) throw CannotOpenFile(fileName);
  const std::streamoff size = in.tellg();
  if (size < 0) throw CannotOpenFile(fileName);
  if (static_cast<std::uintmax_t>(size) > maxSize) throw DataError("Datei " + fileName + " ist zu groß");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) throw StreamReadError();
  return bytes;
}

}  // namespace kolbet
