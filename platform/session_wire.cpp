#include "platform/session_wire.h"

#include <cctype>

namespace kolbet::wire {

namespace {

// Appends little-endian fields.
class Writer {
 public:
  explicit Writer(Bytes& out) : Out(out) {}
  void U8(std::uint8_t v) { Out.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void Raw(const std::uint8_t* data, std::size_t size) { Out.insert(Out.end(), data, data + size); }
  void Id(const TIdentity& id) { Raw(id.data(), id.size()); }
  void Preamble() {
    Raw(Magic.data(), Magic.size());
    U16(Version);
  }
  // A name longer than the wire allows is cut at a character boundary.
  void Name(const std::string& name) {
    std::size_t size = name.size();
    if (size > MaxNameBytes) {
      size = MaxNameBytes;
      while (size > 0 && (static_cast<std::uint8_t>(name[size]) & 0xC0) == 0x80) --size;
    }
    U16(static_cast<std::uint16_t>(size));
    Raw(reinterpret_cast<const std::uint8_t*>(name.data()), size);
  }

 private:
  Bytes& Out;
};

// Reads fields with a bounds check on every one; once a read fails, all fail.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : At(data), Left(data ? size : 0) {}
  bool Ok() const { return Good; }
  bool AtEnd() const { return Good && Left == 0; }
  std::uint8_t U8() {
    std::uint8_t v = 0;
    if (Take(1)) v = At[-1];
    return v;
  }
  std::uint16_t U16() {
    if (!Take(2)) return 0;
    return static_cast<std::uint16_t>(At[-2] | At[-1] << 8);
  }
  std::uint32_t U32() {
    if (!Take(4)) return 0;
    return static_cast<std::uint32_t>(At[-4]) | static_cast<std::uint32_t>(At[-3]) << 8 |
           static_cast<std::uint32_t>(At[-2]) << 16 | static_cast<std::uint32_t>(At[-1]) << 24;
  }
  TIdentity Id() {
    TIdentity id{};
    if (Take(id.size())) std::copy(At - id.size(), At, id.begin());
    return id;
  }
  // Magic and version both as this program writes them.
  bool Preamble() {
    for (std::uint8_t m : Magic) {
      if (U8() != m) Good = false;
    }
    if (U16() != Version) Good = false;
    return Good;
  }
  std::string Name() {
    const std::size_t size = U16();
    if (size > MaxNameBytes || !Take(size)) {
      Good = false;
      return {};
    }
    return std::string(reinterpret_cast<const char*>(At - size), size);
  }

 private:
  bool Take(std::size_t n) {
    if (!Good || n > Left) {
      Good = false;
      return false;
    }
    At += n;
    Left -= n;
    return true;
  }
  const std::uint8_t* At;
  std::size_t Left;
  bool Good = true;
};

Bytes Datagram(DatagramType type, const TIdentity& application) {
  Bytes out;
  Writer w(out);
  w.Preamble();
  w.U8(static_cast<std::uint8_t>(type));
  w.Id(application);
  return out;
}

// Reads magic, version and type of a datagram; false when they are not this program's.
bool DatagramHead(Reader& r, DatagramType type) {
  return r.Preamble() && r.U8() == static_cast<std::uint8_t>(type) && r.Ok();
}

Bytes Frame(FrameType type, const Bytes& body) { return EncodeFrame(type, body.data(), body.size()); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<TIdentity> ParseGuid(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  if (text.size() != 36) return std::nullopt;
  TIdentity id{};
  std::size_t byte = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    id[byte++] = static_cast<std::uint8_t>(high << 4 | low);
    i += 2;
  }
  return id;
}

Bytes EncodeSearchRequest(const TIdentity& application) {
  return Datagram(DatagramType::SearchRequest, application);
}

Bytes EncodeSessionAnswer(const TSessionAnswer& answer) {
  Bytes out = Datagram(DatagramType::SessionAnswer, answer.Application);
  Writer w(out);
  w.Id(answer.Session);
  w.U8(answer.Players);
  w.U8(answer.MaxPlayers);
  w.Name(answer.Name);
  return out;
}

std::optional<TIdentity> DecodeSearchRequest(const std::uint8_t* data, std::size_t size) {
  Reader r(data, size);
  if (!DatagramHead(r, DatagramType::SearchRequest)) return std::nullopt;
  const TIdentity application = r.Id();
  if (!r.AtEnd()) return std::nullopt;
  return application;
}

std::optional<TSessionAnswer> DecodeSessionAnswer(const std::uint8_t* data, std::size_t size) {
  Reader r(data, size);
  if (!DatagramHead(r, DatagramType::SessionAnswer)) return std::nullopt;
  TSessionAnswer answer;
  answer.Application = r.Id();
  answer.Session = r.Id();
  answer.Players = r.U8();
  answer.MaxPlayers = r.U8();
  answer.Name = r.Name();
  if (!r.AtEnd()) return std::nullopt;
  return answer;
}

Bytes EncodeFrame(FrameType type, const std::uint8_t* body, std::size_t size) {
  Bytes out;
  out.reserve(LengthSize + 1 + size);
  Writer w(out);
  w.U32(static_cast<std::uint32_t>(1 + size));
  w.U8(static_cast<std::uint8_t>(type));
  if (size > 0) w.Raw(body, size);
  return out;
}

Bytes EncodeHello(const THello& hello) {
  Bytes body;
  Writer w(body);
  w.Preamble();
  w.Id(hello.Application);
  w.Id(hello.Session);
  w.Name(hello.PlayerName);
  return Frame(FrameType::Hello, body);
}

Bytes EncodeWelcome(const TWelcome& welcome) {
  Bytes body;
  Writer w(body);
  w.Preamble();
  w.U32(welcome.HostPlayer);
  w.U32(welcome.YourPlayer);
  w.Name(welcome.HostPlayerName);
  return Frame(FrameType::Welcome, body);
}

Bytes EncodeRefused(Refusal reason) {
  Bytes body;
  Writer w(body);
  w.Preamble();
  w.U8(static_cast<std::uint8_t>(reason));
  return Frame(FrameType::Refused, body);
}

std::uint32_t FrameLength(const std::uint8_t* prefix) {
  Reader r(prefix, LengthSize);
  return r.U32();
}

std::optional<THello> DecodeHello(const std::uint8_t* body, std::size_t size) {
  Reader r(body, size);
  THello hello;
  r.Preamble();
  hello.Application = r.Id();
  hello.Session = r.Id();
  hello.PlayerName = r.Name();
  if (!r.AtEnd()) return std::nullopt;
  return hello;
}

std::optional<TWelcome> DecodeWelcome(const std::uint8_t* body, std::size_t size) {
  Reader r(body, size);
  TWelcome welcome;
  r.Preamble();
  welcome.HostPlayer = r.U32();
  welcome.YourPlayer = r.U32();
  welcome.HostPlayerName = r.Name();
  if (!r.AtEnd()) return std::nullopt;
  return welcome;
}

std::optional<Refusal> DecodeRefused(const std::uint8_t* body, std::size_t size) {
  Reader r(body, size);
  r.Preamble();
  const std::uint8_t reason = r.U8();
  if (!r.AtEnd()) return std::nullopt;
  return static_cast<Refusal>(reason);
}

}  // namespace kolbet::wire
