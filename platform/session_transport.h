#pragma once
// The session transport: UDP search datagrams and one TCP connection per
// session, all run by a thread of the transport's own. That thread answers
// searches, accepts and greets joining players, sends and watches the
// keep-alive, and notices a peer that left or vanished, whatever the thread
// that uses the transport is doing meanwhile. What arrives is handed to the
// event sink on the transport's thread; the caller's operations block until
// the transport's thread has done them (a search for its search time).

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QHostAddress>

#include "game/ports.h"
#include "platform/session_wire.h"

namespace kolbet {

struct TTransportSettings {
  wire::TIdentity Application{};
  std::uint16_t Port = 29184;  // UDP for searches, TCP for sessions
  std::chrono::milliseconds SearchTime{900};
  std::chrono::milliseconds KeepAliveInterval{1000};  // a frame at least this often
  std::chrono::milliseconds KeepAliveTimeout{6000};   // silence after which the peer is gone
  std::chrono::milliseconds HandshakeTimeout{3000};   // connect and greeting, either side
  // What holds the caller while an operation waits for the transport's thread
  // (a search, a join, a leave); none: the calling thread blocks.
  ClockPort* Clock = nullptr;
};

// The result of work done elsewhere, waited for through `clock` (which lets
// the caller's thread serve its window meanwhile), or plainly without one.
template <typename Result>
Result Await(std::future<Result>& result, ClockPort* clock) {
  if (clock)
    clock->WaitUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                     std::chrono::milliseconds(10));
  return result.get();
}

// One answer of a search: what a join needs.
struct TFoundSession {
  std::string Name;
  wire::TIdentity Session{};
  QHostAddress Address;  // where the answer came from
};

struct TTransportPlayer {
  std::uint32_t Id = 0;
  std::string Name;
};

// The local player and the players already in the session when it opened.
struct TOpenedSession {
  TTransportPlayer Local;
  std::vector<TTransportPlayer> Remote;
};

struct TTransportEvent {
  enum class Kind { PlayerEntered, PlayerLeft, Message };
  Kind What = Kind::Message;
  TTransportPlayer Player;        // entered, left, or sent the message
  std::vector<std::uint8_t> Data;  // the message
  bool NowHost = false;            // with PlayerLeft: this side has taken the host role
};

class SessionTransport {
 public:
  // Called on the transport's thread, in the order things arrived. False when
  // the receiver can take no more: the peer is then cut off as having left.
  using EventSink = std::function<bool(TTransportEvent)>;

  SessionTransport(TTransportSettings settings, EventSink sink);
  ~SessionTransport();  // leaves any session and ends the thread
  SessionTransport(const SessionTransport&) = delete;
  SessionTransport& operator=(const SessionTransport&) = delete;

  // Starts the thread; false when it could not be started.
  bool Start();

  // Asks the given machines (empty: every interface's broadcast address and
  // the loopback address) and collects the answers until the search time is
  // over or, with `stopAtFirst`, until the first answer. Sessions are listed
  // once each, in the order their first answer came. Nothing when no socket
  // could send the question.
  std::optional<std::vector<TFoundSession>> Search(const std::vector<QHostAddress>& machines,
                                                   bool stopAtFirst);

  // Opens a new session on this machine and starts answering searches.
  std::optional<TOpenedSession> Host(const std::string& sessionName, const std::string& playerName);
  // Connects to a found session and greets its host; nothing when refused,
  // unreachable or not answered in the handshake time.
  std::optional<TOpenedSession> Join(const TFoundSession& session, const std::string& playerName);

  // Queues a block for the other player `recipient`, in order after every
  // earlier one; dropped when that player is no longer the one in the session
  // (it left, and another may have come in meanwhile).
  void Send(std::uint32_t recipient, std::vector<std::uint8_t> block);
  // Tells the peer and closes everything; blocks until what was sent before is on its way.
  void Leave();

  class Worker;

 private:
  class Thread;
  TTransportSettings Settings;
  EventSink Sink;
  std::unique_ptr<Thread> Runner;
};

}  // namespace kolbet
