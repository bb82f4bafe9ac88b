#pragma once
// The session service `DXPlay1`: the peer-to-peer sessions two copies of the
// game meet in. It searches, creates, joins and closes sessions, sends the
// game's messages to the other player and tells the game when a player enters
// or leaves and when a message arrives.
//
// The object belongs to the thread that made it, the user-interface thread.
// The transport runs on a thread of its own; a second thread of the service
// waits for what arrives and hands it over to the user-interface thread's
// event loop, waiting until the game has handled it. So the three events run
// there, one at a time, in order, and a handler that waits (a pause, a sound
// played to its end) only delays what comes behind it. Works under a
// QCoreApplication as well as a QApplication.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "game/ports.h"

class QObject;

namespace kolbet {

struct TTransportEvent;

// Every failure of the service, carrying its text.
class SessionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The game's application identifier and port, and the two transports.
inline constexpr char KolbetGUID[] = "{929B47E1-00CE-11D4-B635-0000E87F85A1}";
inline constexpr std::uint16_t KolbetPort = 29184;
inline constexpr char TcpIpProvider[] = "{36E95EE0-8577-11CF-960C-0080C7534E82}";
inline constexpr char IpxProvider[] = "{685BC400-9D2C-11CF-A9CD-00AA006886E3}";

// The port named by the environment variable KOLBET_PORT (1 to 65535), for
// headless checks that run side by side; KolbetPort when it is unset or not a port.
std::uint16_t PortFromEnvironment();

struct TSessionSettings {
  std::string GUID = KolbetGUID;  // sessions are made and listed under it alone
  std::uint16_t Port = KolbetPort;
  // How long a search asks the local network; a search of a named machine ends
  // at its first answer.
  std::chrono::milliseconds SearchTime{900};
  // A frame goes to the peer at least every interval; a peer not heard for the
  // timeout has left (with these: noticed within 6.1 seconds).
  std::chrono::milliseconds KeepAliveInterval{1000};
  std::chrono::milliseconds KeepAliveTimeout{6000};
  // Connecting and greeting; a joiner that has not said hello by then is dropped.
  std::chrono::milliseconds HandshakeTimeout{3000};
  // What holds the caller while a search, a join or a leave is under way
  // (the window's clock serves the window meanwhile); none: the thread blocks.
  ClockPort* Clock = nullptr;
};

// A player of the open session.
struct TDXPlayPlayer {
  std::uint32_t ID = 0;
  std::string Name;
};

class TDXPlay;
using TDXPlayEvent = std::function<void(TDXPlay& Sender, const TDXPlayPlayer& Player)>;
using TDXPlayMessageEvent = std::function<void(TDXPlay& Sender, const TDXPlayPlayer& From,
                                               const std::uint8_t* Data, std::size_t DataSize)>;

class TDXPlay final : public SessionPort {
 public:
  explicit TDXPlay(TSessionSettings settings = {});
  ~TDXPlay() override;
  TDXPlay(const TDXPlay&) = delete;
  TDXPlay& operator=(const TDXPlay&) = delete;

  // Closes any open session and forgets the last search, then sets up the
  // transport. `hostName` is the machine searches ask: blank (or empty) for
  // the whole local network, else a name, an IPv4 or an IPv6 address.
  // "Provider of specified GUID is not found" for anything but TcpIpProvider.
  void SelectTransport(std::string_view provider, std::string_view hostName = " ");
  // Blocks for the search time (a named machine: until it answered) and returns
  // the names of the joinable sessions in the order found; keeps them for a join.
  // "Session list cannot be acquired".
  std::vector<std::string> SearchSessions();
  // Opens a new session named `sessionName` for at most two players; this side is its host.
  void CreateSession(std::string_view sessionName, std::string_view playerName);
  // Joins the first session of the last search with that name, letter case ignored.
  void JoinSession(std::string_view sessionName, std::string_view playerName);
  // To every other player, whole, once and in order; nothing without a session.
  // "The message form is illegal" for fewer than 4 bytes (or more than 64 KiB).
  void Send(const std::uint8_t* data, std::size_t size) override;
  // Leaves the session (the other player is told) and forgets the transport,
  // the session list and the players. Reports nothing.
  void Close() override;

  // This side is the session's host; keeps its value after a close.
  bool IsHost() const { return Host; }
  bool SessionOpen() const { return Opened; }
  const TDXPlayPlayer& LocalPlayer() const { return Local; }
  const std::vector<TDXPlayPlayer>& RemotePlayers() const { return Remote; }

  // The game's events. The local player's own entering is reported once at
  // every open; its leaving is not.
  TDXPlayEvent OnAddPlayer;
  TDXPlayEvent OnDeletePlayer;
  TDXPlayMessageEvent OnMessage;
  // Runs each hand-over of what arrived (`drain`, which passes it to the
  // events above) on the user-interface thread. The window puts it through
  // the gate of its handlers, so that while a handler waits what arrives stays
  // here, as much as the service keeps for a peer; without it the hand-over
  // runs at once.
  std::function<void(std::function<void()> drain)> OnArrival;
  // An error raised while an arrival was handed to the game (by an event
  // above, or "The player of specified ID is not found"); the window shows it
  // in its error box. Without it the error is thrown on into the event loop.
  std::function<void(const std::exception& error)> OnError;

  struct Receiver;

 private:
  void OpenFor(const std::string& sessionName, const std::string& playerName, bool create);
  void LeaveSession();
  void Drain();
  void Deliver(const TTransportEvent& item);

  TSessionSettings Settings;
  bool Host = false;
  bool Opened = false;
  TDXPlayPlayer Local;
  std::vector<TDXPlayPlayer> Remote;
  std::unique_ptr<QObject> Ui;  // lives on the user-interface thread; hand-overs are run there
  std::uint64_t Generation = 0;  // counts the sessions left; a hand-over of an older one does nothing
  std::unique_ptr<Receiver> Receiving;
};

}  // namespace kolbet
