#include "tools/mkdata/pack_writer.h"

#include <stdexcept>

namespace kolbet::mkdata {

Bytes WritePack(const std::array<Bytes, PackEntryCount>& streams) {
  std::array<std::uint32_t, PackEntryCount> offsets{};
  Bytes body;
  const std::size_t tableSize = PackTableSize;
  for (int k = 0; k < PackEntryCount; ++k) {
    if (streams[k].empty()) throw std::runtime_error("pack entry " + std::to_string(k) + " has no picture");
    int same = -1;
    for (int j = 0; j < k && same < 0; ++j)
      if (streams[j] == streams[k]) same = j;
    if (same >= 0) {
      offsets[k] = offsets[same];
      continue;
    }
    const std::size_t at = tableSize + body.size();
    if (at + streams[k].size() > 0x7FFFFFFF) throw std::runtime_error("graphics pack larger than 2 GB");
    offsets[k] = static_cast<std::uint32_t>(at);
    PutBytes(body, streams[k]);
  }
  Bytes out;
  out.reserve(tableSize + body.size());
  for (auto o : offsets) PutU32(out, o);
  PutBytes(out, body);
  return out;
}

}  // namespace kolbet::mkdata
