#include "tools/mkdata/bank_writer.h"

#include <stdexcept>

namespace kolbet::mkdata {
namespace {

// Value type bytes of the component stream.
constexpr unsigned EndOfList = 0, StartOfList = 1, Int8 = 2, Int16 = 3, Int32 = 4, String = 6,
                   False = 8, True = 9, Binary = 10, LongString = 12, Collection = 14;

void PutShortString(Bytes& out, std::string_view s) {
  if (s.size() > 255) throw std::runtime_error("name longer than 255 bytes: " + std::string(s));
  PutU8(out, static_cast<unsigned>(s.size()));
  PutText(out, s);
}

void PutStringValue(Bytes& out, std::string_view s) {
  if (s.size() <= 255) {
    PutU8(out, String);
    PutShortString(out, s);
  } else {
    PutU8(out, LongString);
    PutU32(out, static_cast<std::uint32_t>(s.size()));
    PutText(out, s);
  }
}

// The smallest of the three integer types that holds the value.
void PutIntegerValue(Bytes& out, int v) {
  if (v >= -128 && v <= 127) {
    PutU8(out, Int8);
    PutU8(out, static_cast<std::uint8_t>(v));
  } else if (v >= -32768 && v <= 32767) {
    PutU8(out, Int16);
    PutU16(out, static_cast<std::uint16_t>(v));
  } else {
    PutU8(out, Int32);
    PutU32(out, static_cast<std::uint32_t>(v));
  }
}

Bytes ComponentStream(const std::vector<BankItem>& items) {
  Bytes s;
  PutText(s, "TPF0");
  PutShortString(s, "TWaveCollectionComponent");
  PutShortString(s, "");  // object name
  PutShortString(s, "List");
  PutU8(s, Collection);
  for (const BankItem& item : items) {
    PutU8(s, StartOfList);
    PutShortString(s, "Name");
    PutStringValue(s, item.name);
    PutShortString(s, "Looped");
    PutU8(s, item.looped ? True : False);
    PutShortString(s, "MaxPlayingCount");
    PutIntegerValue(s, item.maxPlayingCount);
    PutShortString(s, "Wave.WAVE");
    PutU8(s, Binary);
    PutU32(s, static_cast<std::uint32_t>(item.wave.size()));
    PutBytes(s, item.wave);
    PutU8(s, EndOfList);  // end of the item's properties
  }
  PutU8(s, EndOfList);  // end of the collection
  PutU8(s, EndOfList);  // end of the root's properties
  PutU8(s, EndOfList);  // end of the (empty) list of child components
  return s;
}

}  // namespace

Bytes WriteBank(const std::vector<BankItem>& items) {
  const Bytes stream = ComponentStream(items);
  Bytes out;
  PutU8(out, 0xFF);
  PutU16(out, 10);               // resource type: raw data
  PutText(out, "KOLBET");        // resource name
  PutU8(out, 0);
  PutU16(out, 0x1030);           // flags: movable, pure, discardable
  PutU32(out, static_cast<std::uint32_t>(stream.size()));
  PutBytes(out, stream);
  return out;
}

}  // namespace kolbet::mkdata
