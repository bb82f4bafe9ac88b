#pragma once
// Reader of a resource-wrapped component stream ("TPF0"): the layers of the
// sound bank file below its items. Every read is checked against the end of
// the data: a value running past it is "Stream-Read-Fehler", a value of an
// unknown type or a missing signature "Ungültiges Stream-Format".

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kolbet {

// The value types of the stream; each is the byte in front of its data.
enum ValueType : std::uint8_t {
  ValueNull = 0,        // end of a list
  ValueList = 1,        // values up to an end of list
  ValueInt8 = 2,
  ValueInt16 = 3,
  ValueInt32 = 4,
  ValueString = 6,      // one length byte, then the bytes
  ValueIdent = 7,       // one length byte, then the bytes
  ValueFalse = 8,
  ValueTrue = 9,
  ValueBinary = 10,     // 4-byte length, then the bytes
  ValueLString = 12,    // 4-byte length, then the bytes
  ValueCollection = 14, // items, then a zero byte
};

// Property and identifier names compare without regard to ASCII case.
bool EqualsNoCase(std::string_view a, std::string_view b);

class TComponentReader {
 public:
  explicit TComponentReader(std::span<const std::uint8_t> bytes) : Bytes(bytes) {}

  // Checks and skips the resource header: byte FF, the 16-bit type 10, a name
  // ended by a zero byte, 2 bytes of flags and 4 of size.
  void SkipResourceHeader();
  // Reads the 4 bytes "TPF0".
  void ReadSignature();
  // Skips a prefix byte F0 to FF and, when its bit 1 is set, the integer after it.
  void SkipPrefix();

  std::uint8_t ReadByte();
  std::uint8_t PeekByte();
  // One length byte, then that many bytes.
  std::string ReadShortString();

  // Reads the data of a value whose type byte has been read; a type that does
  // not fit is "Ungültiges Stream-Format".
  std::int32_t ReadInteger(std::uint8_t type);
  std::string ReadString(std::uint8_t type);                 // string or long string
  bool ReadBoolean(std::uint8_t type);                       // false, true or identifier
  std::span<const std::uint8_t> ReadBinary(std::uint8_t type);

  // Skips the data of a value of any known type, lists and collections whole.
  void SkipValue(std::uint8_t type);

  std::size_t Position() const { return Pos; }

 private:
  std::span<const std::uint8_t> Take(std::size_t count);
  std::uint32_t ReadLength();
  void SkipValueAt(std::uint8_t type, int depth);
  // Property entries (a name, then a value) up to the zero byte that ends them.
  void SkipPropertiesAt(int depth);

  std::span<const std::uint8_t> Bytes;
  std::size_t Pos = 0;
};

}  // namespace kolbet
