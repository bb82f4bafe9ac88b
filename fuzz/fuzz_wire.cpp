// Any bytes to the session transport's decoders. The first byte chooses the
// decoder, the rest is the datagram or the frame body. What a decoder accepts
// must encode again to something it reads back the same.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/session_wire.h"

using namespace kolbet::wire;

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// The body of a whole frame: after the length prefix and the type byte.
const std::uint8_t* BodyOf(const Bytes& frame) { return frame.data() + LengthSize + 1; }
std::size_t BodySize(const Bytes& frame) { return frame.size() - LengthSize - 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t choice = data[0];
  ++data;
  --size;
  switch (choice % 6) {
    case 0:
      if (auto application = DecodeSearchRequest(data, size)) {
        const Bytes again = EncodeSearchRequest(*application);
        Require(DecodeSearchRequest(again.data(), again.size()) == application);
      }
      break;
    case 1:
      if (auto answer = DecodeSessionAnswer(data, size)) {
        Require(answer->Name.size() <= MaxNameBytes);
        const Bytes again = EncodeSessionAnswer(*answer);
        const auto back = DecodeSessionAnswer(again.data(), again.size());
        Require(back && back->Application == answer->Application && back->Session == answer->Session &&
                back->Players == answer->Players && back->MaxPlayers == answer->MaxPlayers &&
                back->Name == answer->Name);
      }
      break;
    case 2:
      if (auto hello = DecodeHello(data, size)) {
        Require(hello->PlayerName.size() <= MaxNameBytes);
        const Bytes frame = EncodeHello(*hello);
        Require(FrameLengthValid(FrameLength(frame.data())));
        const auto back = DecodeHello(BodyOf(frame), BodySize(frame));
        Require(back && back->Application == hello->Application && back->Session == hello->Session &&
                back->PlayerName == hello->PlayerName);
      }
      break;
    case 3:
      if (auto welcome = DecodeWelcome(data, size)) {
        Require(welcome->HostPlayerName.size() <= MaxNameBytes);
        const Bytes frame = EncodeWelcome(*welcome);
        Require(FrameLengthValid(FrameLength(frame.data())));
        const auto back = DecodeWelcome(BodyOf(frame), BodySize(frame));
        Require(back && back->HostPlayer == welcome->HostPlayer && back->YourPlayer == welcome->YourPlayer &&
                back->HostPlayerName == welcome->HostPlayerName);
      }
      break;
    case 4:
      if (auto reason = DecodeRefused(data, size)) {
        const Bytes frame = EncodeRefused(*reason);
        Require(DecodeRefused(BodyOf(frame), BodySize(frame)) == reason);
      }
      break;
    case 5:
      // A length prefix and a type, then as much of the body as there is.
      if (size > LengthSize) {
        const std::uint32_t length = FrameLength(data);
        if (FrameLengthValid(length)) {
          const std::size_t body = std::min<std::size_t>(length - 1, size - LengthSize - 1);
          const Bytes frame = EncodeFrame(static_cast<FrameType>(data[LengthSize]), data + LengthSize + 1, body);
          Require(FrameLength(frame.data()) == body + 1 && std::equal(data + LengthSize + 1,
                                                                      data + LengthSize + 1 + body, BodyOf(frame)));
        }
      }
      break;
  }
  return 0;
}
