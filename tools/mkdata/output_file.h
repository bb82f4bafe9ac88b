#pragma once
// Writing a data file so that it never appears half-written under its name.

#include <string>
#include "tools/mkdata/bytes.h"

namespace kolbet::mkdata {

// Writes the bytes to a temporary name beside `path` and renames the file into
// place. On any failure the temporary file is removed, `path` is
// left as it was, and std::runtime_error says what went wrong.
void WriteFileAtomically(const std::string& path, const Bytes& bytes);

// Creates the folder (and its parents) if needed; throws when it cannot be made
// or is not a folder.
void MakeFolder(const std::string& folder);

}  // namespace kolbet::mkdata
