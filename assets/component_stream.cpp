#include "assets/component_stream.h"

#include <algorithm>
#include <cstring>

#include "assets/stream_errors.h"

namespace kolbet {

namespace {

// Lists and collections may nest; deeper than this is taken as damage rather
// than followed until the stack runs out.
constexpr int MaxNesting = 64;

unsigned char AsciiLower(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::span<const std::uint8_t> TComponentReader::Take(std::size_t count) {
  if (count > Bytes.size() - Pos) throw StreamReadError();
  const auto part = Bytes.subspan(Pos, count);
  Pos += count;
  return part;
}

std::uint8_t TComponentReader::ReadByte() { return Take(1)[0]; }

std::uint8_t TComponentReader::PeekByte() {
  if (Pos >= Bytes.size()) throw StreamReadError();
  return Bytes[Pos];
}

std::uint32_t TComponentReader::ReadLength() {
  const auto p = Take(4);
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

void TComponentReader::SkipResourceHeader() {
  // The first 79 bytes are looked at as if the file went on with zero bytes:
  // only the first three are checked, and the name runs up to its zero byte.
  const std::size_t seen = std::min<std::size_t>(Bytes.size(), 79);
  auto at = [&](std::size_t i) -> std::uint8_t { return i < seen ? Bytes[i] : 0; };
  if (at(0) != 0xFF || at(1) != 10 || at(2) != 0) throw InvalidStreamFormat();
  std::size_t nameLength = 0;
  while (at(3 + nameLength) != 0) ++nameLength;
  // The name, its zero byte, 2 bytes of flags and 4 of size; a header longer
  // than the file leaves nothing to read after it.
  Pos = std::min(Bytes.size(), 3 + nameLength + 7);
}

void TComponentReader::ReadSignature() {
  const auto p = Take(4);
  if (std::memcmp(p.data(), "TPF0", 4) != 0) throw InvalidStreamFormat();
}

void TComponentReader::SkipPrefix() {
  const std::uint8_t b = PeekByte();
  if ((b & 0xF0) != 0xF0) return;
  ++Pos;
  if (b & 0x02) ReadInteger(ReadByte());
}

std::string TComponentReader::ReadShortString() {
  const auto p = Take(ReadByte());
  return std::string(p.begin(), p.end());
}

std::int32_t TComponentReader::ReadInteger(std::uint8_t type) {
  switch (type) {
    case ValueInt8:
      return static_cast<std::int8_t>(Take(1)[0]);
    case ValueInt16: {
      const auto p = Take(2);
      return static_cast<std::int16_t>(p[0] | p[1] << 8);
    }
    case ValueInt32:
      return static_cast<std::int32_t>(ReadLength());
    default:
      throw InvalidStreamFormat();
  }
}

std::string TComponentReader::ReadString(std::uint8_t type) {
  std::span<const std::uint8_t> p;
  if (type == ValueString) {
    p = Take(ReadByte());
  } else if (type == ValueLString) {
    p = Take(ReadLength());
  } else {
    throw InvalidStreamFormat();
  }
  return std::string(p.begin(), p.end());
}

bool TComponentReader::ReadBoolean(std::uint8_t type) {
  if (type == ValueFalse) return false;
  if (type == ValueTrue) return true;
  if (type == ValueIdent) {
    const std::string ident = ReadShortString();
    if (EqualsNoCase(ident, "True")) return true;
    if (EqualsNoCase(ident, "False")) return false;
  }
  throw InvalidStreamFormat();
}

std::span<const std::uint8_t> TComponentReader::ReadBinary(std::uint8_t type) {
  if (type != ValueBinary) throw InvalidStreamFormat();
  return Take(ReadLength());
}

void TComponentReader::SkipValue(std::uint8_t type) { SkipValueAt(type, 0); }

void TComponentReader::SkipPropertiesAt(int depth) {
  while (PeekByte() != 0) {
    ReadShortString();
    SkipValueAt(ReadByte(), depth);
  }
  ++Pos;
}

void TComponentReader::SkipValueAt(std::uint8_t type, int depth) {
  if (depth > MaxNesting) throw InvalidStreamFormat();
  switch (type) {
    case ValueNull:
    case ValueFalse:
    case ValueTrue:
      return;
    case ValueList:
      for (std::uint8_t t = ReadByte(); t != ValueNull; t = ReadByte()) SkipValueAt(t, depth + 1);
      return;
    case ValueInt8:
    case ValueInt16:
    case ValueInt32:
      ReadInteger(type);
      return;
    case ValueString:
    case ValueIdent:
      ReadShortString();
      return;
    case ValueBinary:
    case ValueLString:
      Take(ReadLength());
      return;
    case ValueCollection:
      while (PeekByte() != 0) {
        std::uint8_t t = ReadByte();
        if (t == ValueInt8 || t == ValueInt16 || t == ValueInt32) {
          ReadInteger(t);
          t = ReadByte();
        }
        if (t != ValueList) throw InvalidStreamFormat();
        SkipPropertiesAt(depth + 1);
      }
      ++Pos;
      return;
    default:
      throw InvalidStreamFormat();
  }
}

}  // namespace kolbet
