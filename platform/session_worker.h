#pragma once
// The transport's worker: every socket of the session transport and all that
// is done with them, on the transport's own thread (session_transport.cpp
// makes it there and calls into it). The search half is in
// session_discovery.cpp, the session connection half in session_worker.cpp.

#include <chrono>
#include <future>
#include <memory>
#include <vector>

#include <QObject>

#include "platform/session_transport.h"

class QTcpServer;
class QTcpSocket;
class QTimer;
class QUdpSocket;

namespace kolbet {

class SessionTransport::Worker final : public QObject {
 public:
  using Clock = std::chrono::steady_clock;
  using SearchDone = std::shared_ptr<std::promise<std::optional<std::vector<TFoundSession>>>>;
  using JoinDone = std::shared_ptr<std::promise<std::optional<TOpenedSession>>>;

  Worker(const TTransportSettings& settings, const EventSink& sink);
  ~Worker() override;

  void StartSearch(const std::vector<QHostAddress>& machines, bool stopAtFirst, SearchDone done);
  std::optional<TOpenedSession> Host(const std::string& sessionName, const std::string& playerName);
  void StartJoin(const TFoundSession& session, const std::string& playerName, JoinDone done);
  void Send(std::uint32_t recipient, const std::vector<std::uint8_t>& block);
  void Leave();

 private:
  // A connection that has not yet said which session it wants.
  struct Greeting {
    QTcpSocket* Socket = nullptr;
    Clock::time_point Deadline;
  };
  // A search under way: its two sockets (IPv4, IPv6), whom it asks, what it found.
  struct Search {
    SearchDone Done;
    std::vector<QHostAddress> Targets;
    bool StopAtFirst = false;
    QUdpSocket* Socket4 = nullptr;
    QUdpSocket* Socket6 = nullptr;
    QTimer* Resend = nullptr;
    QTimer* End = nullptr;
    std::vector<TFoundSession> Found;
  };

  // Discovery (session_discovery.cpp).
  void SearchAnswered(QUdpSocket* socket);
  void FinishSearch();
  void ResendSearch();
  void AnswerSearches(QUdpSocket* socket);
  bool OpenResponders();
  void CloseResponders();

  // Session connection (session_worker.cpp).
  void Tick();
  bool StartListening();
  void Accept();
  void Readable(QTcpSocket* socket);
  bool Frame(QTcpSocket* socket, wire::FrameType type, const std::uint8_t* body, std::size_t size);
  bool GreetJoiner(QTcpSocket* socket, const std::uint8_t* body, std::size_t size);
  bool Welcomed(QTcpSocket* socket, wire::FrameType type, const std::uint8_t* body, std::size_t size);
  bool PeerFrame(wire::FrameType type, const std::uint8_t* body, std::size_t size);
  void WelcomeWritten(QTcpSocket* socket);
  void SocketClosed(QTcpSocket* socket);
  void Cut(QTcpSocket* socket);
  void Write(const wire::Bytes& frame);
  void DropPeer();
  void FailJoin();
  void Discard(QTcpSocket*& socket);
  QTcpSocket* Watch(QTcpSocket* socket);
  std::uint32_t NewPlayerId() const;

  TTransportSettings Settings;
  EventSink Sink;
  QTimer* Ticker = nullptr;

  // The open session; a guest that loses its host becomes the host.
  bool Open = false;
  bool Hosting = false;
  wire::TIdentity SessionId{};
  std::string SessionName;
  TTransportPlayer Local;

  // Hosting: the listener, the search answerers and the joiners not yet greeted.
  QTcpServer* Server = nullptr;
  QUdpSocket* Responder4 = nullptr;
  QUdpSocket* Responder6 = nullptr;
  std::vector<Greeting> Greetings;

  // The other player, once greeted. A joiner is in the session, and the game
  // is told of it, only once its welcome has been written out; what it sends
  // before is held until then.
  QTcpSocket* Peer = nullptr;
  TTransportPlayer PeerPlayer;
  bool PeerEntered = false;
  std::vector<wire::Bytes> Held;
  std::size_t HeldBytes = 0;
  std::uint32_t PreviousPeer = 0;  // a new player never gets the id of the one before
  Clock::time_point PeerHeard;
  Clock::time_point PeerTold;

  // A join under way.
  QTcpSocket* Joining = nullptr;
  Clock::time_point JoinDeadline;
  std::string JoinName;
  JoinDone JoinResult;

  std::unique_ptr<Search> Searching;
};

}  // namespace kolbet
