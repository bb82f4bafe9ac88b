#pragma once
// Little-endian byte appending shared by the writers of the generator.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kolbet::mkdata {

using Bytes = std::vector<std::uint8_t>;

inline void PutU8(Bytes& out, unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); }

inline void PutU16(Bytes& out, unsigned v) {
  PutU8(out, v & 0xFF);
  PutU8(out, (v >> 8) & 0xFF);
}

inline void PutU32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) PutU8(out, (v >> (8 * i)) & 0xFF);
}

inline void PutText(Bytes& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }

inline void PutBytes(Bytes& out, const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }

}  // namespace kolbet::mkdata
