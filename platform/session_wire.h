#pragma once
// The bytes the session transport puts on the wire: the search datagrams on
// UDP and the frames of a session connection on TCP (docs/network.md is the
// full description). Pure data in, pure data out: every decoder takes any
// bytes at all and either returns the whole record or nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolbet::wire {

using Bytes = std::vector<std::uint8_t>;
// An application or session identity: 16 bytes, in the order the GUID text shows them.
using TIdentity = std::array<std::uint8_t, 16>;

inline constexpr std::array<std::uint8_t, 4> Magic = {'K', 'O', 'L', 'B'};
inline constexpr std::uint16_t Version = 1;

inline constexpr std::size_t MaxNameBytes = 4096;  // a UTF-8 name of up to 1024 characters
inline constexpr std::size_t MaxBlock = 65536;     // largest message a player can send
inline constexpr std::size_t LengthSize = 4;       // the frame's length prefix
inline constexpr std::size_t MaxFrameLength = 1 + MaxBlock;  // type byte + largest body

enum class DatagramType : std::uint8_t { SearchRequest = 1, SessionAnswer = 2 };

enum class FrameType : std::uint8_t {
  Hello = 1,      // joiner -> host: which session, and the joining player's name
  Welcome = 2,    // host -> joiner: the player ids and the host player's name
  Refused = 3,    // host -> joiner: the join is refused, then the host closes
  Message = 4,    // a player's byte block
  KeepAlive = 5,  // nothing to say, but still here
  Leave = 6,      // the sender leaves the session; nothing follows
};

enum class Refusal : std::uint8_t { Full = 1, OtherSession = 2 };

struct TSessionAnswer {
  TIdentity Application{};
  TIdentity Session{};
  std::uint8_t Players = 0;
  std::uint8_t MaxPlayers = 0;
  std::string Name;  // UTF-8
};

struct THello {
  TIdentity Application{};
  TIdentity Session{};
  std::string PlayerName;
};

struct TWelcome {
  std::uint32_t HostPlayer = 0;
  std::uint32_t YourPlayer = 0;
  std::string HostPlayerName;
};

// "{929B47E1-00CE-11D4-B635-0000E87F85A1}" (braces optional, any letter case).
std::optional<TIdentity> ParseGuid(std::string_view text);

Bytes EncodeSearchRequest(const TIdentity& application);
Bytes EncodeSessionAnswer(const TSessionAnswer& answer);
// The application identity a search request asks for.
std::optional<TIdentity> DecodeSearchRequest(const std::uint8_t* data, std::size_t size);
std::optional<TSessionAnswer> DecodeSessionAnswer(const std::uint8_t* data, std::size_t size);

// A whole frame: the length prefix, the type, the body.
Bytes EncodeFrame(FrameType type, const std::uint8_t* body = nullptr, std::size_t size = 0);
Bytes EncodeHello(const THello& hello);
Bytes EncodeWelcome(const TWelcome& welcome);
Bytes EncodeRefused(Refusal reason);

// The length field read from the first four bytes of a frame; a frame whose
// length is 0 or above MaxFrameLength is broken and ends the connection.
std::uint32_t FrameLength(const std::uint8_t* prefix);
inline bool FrameLengthValid(std::uint32_t length) { return length >= 1 && length <= MaxFrameLength; }

// Bodies, without length and type.
std::optional<THello> DecodeHello(const std::uint8_t* body, std::size_t size);
std::optional<TWelcome> DecodeWelcome(const std::uint8_t* body, std::size_t size);
std::optional<Refusal> DecodeRefused(const std::uint8_t* body, std::size_t size);

}  // namespace kolbet::wire
