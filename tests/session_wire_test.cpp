// The session's bytes on their own: names at the wire's limit, in every
// record that carries one.

#include <functional>

#include <gtest/gtest.h>

#include "platform/session_wire.h"

using namespace kolbet::wire;

namespace {

const TIdentity Kolbet = *ParseGuid("{929B47E1-00CE-11D4-B635-0000E87F85A1}");

// The records with a name: encoded with the name, and the name decoded again
// from the bytes (nothing when they are refused).
struct Named {
  const char* record;
  std::function<Bytes(const std::string&)> encode;
  std::function<std::optional<std::string>(const Bytes&)> decode;
};

Bytes Body(const Bytes& frame) { return Bytes(frame.begin() + LengthSize + 1, frame.end()); }

const Named Records[] = {
    {"hello", [](const std::string& name) { return Body(EncodeHello({Kolbet, {1}, name})); },
     [](const Bytes& b) -> std::optional<std::string> {
       const auto hello = DecodeHello(b.data(), b.size());
       if (!hello) return std::nullopt;
       return hello->PlayerName;
     }},
    {"welcome", [](const std::string& name) { return Body(EncodeWelcome({1, 2, name})); },
     [](const Bytes& b) -> std::optional<std::string> {
       const auto welcome = DecodeWelcome(b.data(), b.size());
       if (!welcome) return std::nullopt;
       return welcome->HostPlayerName;
     }},
    {"answer", [](const std::string& name) { return EncodeSessionAnswer({Kolbet, {1}, 1, 2, name}); },
     [](const Bytes& b) -> std::optional<std::string> {
       const auto answer = DecodeSessionAnswer(b.data(), b.size());
       if (!answer) return std::nullopt;
       return answer->Name;
     }},
};

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

}  // namespace

// A name of 4096 bytes is taken; one whose length field says 4097 is refused
// even when all its bytes are there.
TEST(SessionWire, NamesOfMoreThan4096BytesAreRefused) {
  for (const Named& r : Records) {
    const std::string longest(MaxNameBytes, 'n');
    Bytes bytes = r.encode(longest);
    EXPECT_EQ(r.decode(bytes), longest) << r.record;
    const std::size_t lengthAt = bytes.size() - MaxNameBytes - 2;
    bytes[lengthAt] = static_cast<std::uint8_t>((MaxNameBytes + 1) & 0xFF);
    bytes[lengthAt + 1] = static_cast<std::uint8_t>((MaxNameBytes + 1) >> 8);
    bytes.push_back('n');
    EXPECT_EQ(r.decode(bytes), std::nullopt) << r.record;
  }
}

// A longer name is cut to the longest whole characters that fit in 4096 bytes.
TEST(SessionWire, LongNamesAreCutBetweenCharacters) {
  const struct {
    std::string name;
    std::size_t kept;
  } cases[] = {
      {std::string(5000, 'a'), 4096},
      {Repeat("\xC3\xA4", 3000), 4096},            // ä: byte 4096 begins a character
      {"a" + Repeat("\xC3\xA4", 3000), 4095},      // byte 4096 is inside one
      {Repeat("\xE2\x82\xAC", 2000), 4095},        // €: three bytes each
      {Repeat("\xF0\x9D\x84\x9E", 1100), 4096},    // four bytes each
      {"ab" + Repeat("\xF0\x9D\x84\x9E", 1100), 4094},
      {std::string(4096, 'a'), 4096},
  };
  for (const Named& r : Records) {
    for (const auto& c : cases) {
      EXPECT_EQ(r.decode(r.encode(c.name)), c.name.substr(0, c.kept)) << r.record << ' ' << c.kept;
    }
  }
}
