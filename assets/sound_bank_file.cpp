#include "assets/sound_bank_file.h"

#include <algorithm>
#include <string>

#include "assets/component_stream.h"
#include "assets/stream_errors.h"

namespace kolbet {

namespace {

// The property entries of one collection item, up to their zero byte.
TBankEntry ReadItem(TComponentReader& in) {
  TBankEntry entry;
  while (in.PeekByte() != 0) {
    const std::string name = in.ReadShortString();
    const std::uint8_t type = in.ReadByte();
    if (EqualsNoCase(name, "Name")) {
      entry.Name = in.ReadString(type);
    } else if (EqualsNoCase(name, "Looped")) {
      entry.Looped = in.ReadBoolean(type);
    } else if (EqualsNoCase(name, "MaxPlayingCount")) {
      entry.MaxPlayingCount = std::max(0, in.ReadInteger(type));
    } else if (EqualsNoCase(name, "Wave.WAVE")) {
      entry.Wave = ReadWave(in.ReadBinary(type));
    } else {
      // Properties this program does not use are passed over.
      in.SkipValue(type);
    }
  }
  in.ReadByte();
  return entry;
}

// A collection: items, each optionally led by an integer, then a zero byte.
std::vector<TBankEntry> ReadCollection(TComponentReader& in) {
  std::vector<TBankEntry> entries;
  while (in.PeekByte() != 0) {
    std::uint8_t type = in.ReadByte();
    if (type == ValueInt8 || type == ValueInt16 || type == ValueInt32) {
      in.ReadInteger(type);
      type = in.ReadByte();
    }
    if (type != ValueList) throw InvalidStreamFormat();
    if (entries.size() == MaxBankItems) {
      throw DataError("Ungültiges Stream-Format: mehr als " + std::to_string(MaxBankItems) + " Einträge");
    }
    entries.push_back(ReadItem(in));
  }
  in.ReadByte();
  return entries;
}

}  // namespace

std::vector<TBankEntry> ParseSoundBank(std::span<const std::uint8_t> bytes) {
  TComponentReader in(bytes);
  in.SkipResourceHeader();
  in.ReadSignature();
  in.SkipPrefix();
  in.ReadShortString();  // class of the root, not checked
  in.ReadShortString();  // object name, not used
  std::vector<TBankEntry> entries;
  while (in.PeekByte() != 0) {
    const std::string name = in.ReadShortString();
    const std::uint8_t type = in.ReadByte();
    if (EqualsNoCase(name, "List")) {
      if (type != ValueCollection) throw InvalidStreamFormat();
      entries = ReadCollection(in);
    } else {
      in.SkipValue(type);
    }
  }
  in.ReadByte();
  // The root's list of child components must be there, and empty.
  if (in.ReadByte() != 0) throw InvalidStreamFormat();
  return entries;
}

}  // namespace kolbet
