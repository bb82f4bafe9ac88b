#include "platform/session_worker.h"

#include <algorithm>

#include <QNetworkProxy>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace kolbet {

namespace {

using namespace std::chrono_literals;

// Joiners greeted at once at most; a newer one takes the place of the oldest.
constexpr std::size_t MaxGreetings = 8;
// Bytes Qt may read ahead of the frame reader; a frame is at most ~64 KiB.
constexpr qint64 ReadAhead = qint64{256} * 1024;
// A peer that lets this much pile up unsent is not taking anything any more.
constexpr qint64 MaxUnsent = qint64{4} * 1024 * 1024;
// What a joiner may send before its welcome is out; a real one sends nothing.
constexpr std::size_t MaxHeld = std::size_t{256} * 1024;

}  // namespace

SessionTransport::Worker::Worker(const TTransportSettings& settings, const EventSink& sink)
    : Settings(settings), Sink(sink) {
  Ticker = new QTimer(this);
  const auto period = std::clamp<std::chrono::milliseconds>(Settings.KeepAliveInterval / 4, 10ms, 100ms);
  Ticker->setInterval(period);
  connect(Ticker, &QTimer::timeout, this, [this] { Tick(); });
  Ticker->start();
}

SessionTransport::Worker::~Worker() { Leave(); }

std::uint32_t SessionTransport::Worker::NewPlayerId() const {
  std::uint32_t id = 0;
  while (id == 0 || id == Local.Id || id == PreviousPeer) id = QRandomGenerator::global()->generate();
  return id;
}

std::optional<TOpenedSession> SessionTransport::Worker::Host(const std::string& sessionName,
                                                             const std::string& playerName) {
  Leave();
  for (auto& byte : SessionId) byte = static_cast<std::uint8_t>(QRandomGenerator::global()->bounded(256));
  SessionName = sessionName;
  Local = {0, playerName};
  Local.Id = NewPlayerId();
  Hosting = true;
  if (!StartListening()) {
    Hosting = false;
    return std::nullopt;
  }
  Open = true;
  return TOpenedSession{Local, {}};
}

// Listens for joiners and answers searches; a host that took over from a
// leaving one tries again at every tick until the port is free.
bool SessionTransport::Worker::StartListening() {
  if (!Server) {
    Server = new QTcpServer(this);
    Server->setProxy(QNetworkProxy::NoProxy);  // the local network, never through a proxy
    connect(Server, &QTcpServer::newConnection, this, [this] { Accept(); });
  }
  if (!Server->isListening() && !Server->listen(QHostAddress::Any, Settings.Port)) return false;
  if (!OpenResponders()) {
    Server->close();
    return false;
  }
  return true;
}

QTcpSocket* SessionTransport::Worker::Watch(QTcpSocket* socket) {
  socket->setProxy(QNetworkProxy::NoProxy);
  socket->setReadBufferSize(ReadAhead);
  connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Readable(socket); });
  connect(socket, &QTcpSocket::disconnected, this, [this, socket] { SocketClosed(socket); });
  connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { SocketClosed(socket); });
  return socket;
}

void SessionTransport::Worker::Discard(QTcpSocket*& socket) {
  if (!socket) return;
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
  socket = nullptr;
}

void SessionTransport::Worker::Accept() {
  while (QTcpSocket* socket = Server->nextPendingConnection()) {
    // When every place is taken, the connection that has waited longest
    // without a hello gives way: a joiner says hello at once, so connections
    // that only sit there silently cannot keep a player out.
    if (Greetings.size() >= MaxGreetings) {
      Discard(Greetings.front().Socket);
      Greetings.erase(Greetings.begin());
    }
    socket->setParent(this);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);  // small messages go at once
    Greetings.push_back({Watch(socket), Clock::now() + Settings.HandshakeTimeout});
  }
}

// Takes every whole frame that has arrived. A length outside the limits is no
// frame of this program: the connection is closed.
void SessionTransport::Worker::Readable(QTcpSocket* socket) {
  if (socket == Peer) PeerHeard = Clock::now();
  while (socket->bytesAvailable() >= static_cast<qint64>(wire::LengthSize)) {
    std::uint8_t prefix[wire::LengthSize];
    socket->peek(reinterpret_cast<char*>(prefix), sizeof prefix);
    const std::uint32_t length = wire::FrameLength(prefix);
    if (!wire::FrameLengthValid(length)) {
      Cut(socket);
      return;
    }
    if (socket->bytesAvailable() < static_cast<qint64>(wire::LengthSize) + length) return;
    const QByteArray frame = socket->read(static_cast<qint64>(wire::LengthSize) + length);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(frame.constData());
    const auto type = static_cast<wire::FrameType>(bytes[wire::LengthSize]);
    if (!Frame(socket, type, bytes + wire::LengthSize + 1, length - 1)) return;
  }
}

// One frame on one of the connections; false when that connection is gone.
bool SessionTransport::Worker::Frame(QTcpSocket* socket, wire::FrameType type,
                                     const std::uint8_t* body, std::size_t size) {
  if (socket == Peer) return PeerFrame(type, body, size);
  if (socket == Joining) return Welcomed(socket, type, body, size);
  if (type == wire::FrameType::Hello) return GreetJoiner(socket, body, size);
  Cut(socket);
  return false;
}

// A joiner said hello: it becomes the peer when it asks for this session and
// there is room, else it is told why not and let go.
bool SessionTransport::Worker::GreetJoiner(QTcpSocket* socket, const std::uint8_t* body, std::size_t size) {
  auto greeting = std::find_if(Greetings.begin(), Greetings.end(),
                               [socket](const Greeting& g) { return g.Socket == socket; });
  if (greeting == Greetings.end()) return false;
  Greetings.erase(greeting);
  const auto hello = wire::DecodeHello(body, size);
  std::optional<wire::Refusal> refusal;
  if (!hello) {
    Discard(socket);
    return false;
  }
  if (hello->Application != Settings.Application || hello->Session != SessionId || !Open || !Hosting)
    refusal = wire::Refusal::OtherSession;
  else if (Peer)
    refusal = wire::Refusal::Full;
  if (refusal) {
    socket->disconnect(this);
    const auto answer = wire::EncodeRefused(*refusal);
    socket->write(reinterpret_cast<const char*>(answer.data()), static_cast<qint64>(answer.size()));
    socket->disconnectFromHost();  // after the refusal has been written
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(Settings.HandshakeTimeout, socket, [socket] { socket->abort(); socket->deleteLater(); });
    return false;
  }
  Peer = socket;
  PeerPlayer = {NewPlayerId(), hello->PlayerName};
  PeerEntered = false;
  PeerHeard = Clock::now();
  connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { WelcomeWritten(socket); });
  Write(wire::EncodeWelcome({Local.Id, PeerPlayer.Id, Local.Name}));
  return Peer == socket;
}

// The joiner is in the session once everything written to it so far, its
// welcome first, has left: only then is the game told, and then it gets what
// the joiner sent meanwhile. A connection that breaks before never entered.
void SessionTransport::Worker::WelcomeWritten(QTcpSocket* socket) {
  if (socket != Peer || PeerEntered || socket->bytesToWrite() > 0) return;
  PeerEntered = true;
  std::vector<wire::Bytes> held;
  held.swap(Held);
  HeldBytes = 0;
  if (!Sink({TTransportEvent::Kind::PlayerEntered, PeerPlayer, {}, false})) {
    DropPeer();
    return;
  }
  for (wire::Bytes& block : held) {
    if (!Sink({TTransportEvent::Kind::Message, PeerPlayer, std::move(block), false})) {
      DropPeer();
      return;
    }
  }
}

void SessionTransport::Worker::StartJoin(const TFoundSession& session, const std::string& playerName,
                                         JoinDone done) {
  Leave();
  JoinResult = std::move(done);
  JoinName = playerName;
  SessionId = session.Session;
  SessionName = session.Name;
  JoinDeadline = Clock::now() + Settings.HandshakeTimeout;
  Joining = Watch(new QTcpSocket(this));
  connect(Joining, &QTcpSocket::connected, this, [this] {
    Joining->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const auto hello = wire::EncodeHello({Settings.Application, SessionId, JoinName});
    Joining->write(reinterpret_cast<const char*>(hello.data()), static_cast<qint64>(hello.size()));
  });
  Joining->connectToHost(session.Address, Settings.Port);
}

// The host's first frame to a joiner: welcome, or a refusal.
bool SessionTransport::Worker::Welcomed(QTcpSocket* socket, wire::FrameType type,
                                        const std::uint8_t* body, std::size_t size) {
  const auto welcome = type == wire::FrameType::Welcome ? wire::DecodeWelcome(body, size) : std::nullopt;
  if (!welcome || welcome->YourPlayer == 0 || welcome->YourPlayer == welcome->HostPlayer) {
    FailJoin();
    return false;
  }
  Peer = socket;
  Joining = nullptr;
  PeerPlayer = {welcome->HostPlayer, welcome->HostPlayerName};
  PeerEntered = true;  // the joiner's game learns of the host from the join itself
  PeerHeard = PeerTold = Clock::now();
  Local = {welcome->YourPlayer, JoinName};
  Open = true;
  Hosting = false;
  JoinResult->set_value(TOpenedSession{Local, {PeerPlayer}});
  JoinResult.reset();
  return true;
}

void SessionTransport::Worker::FailJoin() {
  Discard(Joining);
  if (JoinResult) JoinResult->set_value(std::nullopt);
  JoinResult.reset();
}

bool SessionTransport::Worker::PeerFrame(wire::FrameType type, const std::uint8_t* body, std::size_t size) {
  switch (type) {
    case wire::FrameType::Message:
      if (!PeerEntered) {
        HeldBytes += size;
        Held.emplace_back(body, body + size);
        if (HeldBytes <= MaxHeld) return true;
        break;
      }
      if (Sink({TTransportEvent::Kind::Message, PeerPlayer, {body, body + size}, false})) return true;
      break;
    case wire::FrameType::KeepAlive:
      return true;
    default:  // Leave, or a frame that has no place in an open session
      break;
  }
  DropPeer();
  return false;
}

// The connection ended or broke. A peer's frames that are already here are
// taken first, so that its last messages come before its leaving.
void SessionTransport::Worker::SocketClosed(QTcpSocket* socket) {
  if (socket == Peer) {
    socket->disconnect(this);
    Readable(socket);
  }
  Cut(socket);
}

// Closes a connection at once, whatever it was for.
void SessionTransport::Worker::Cut(QTcpSocket* socket) {
  if (socket == Peer) {
    DropPeer();
  } else if (socket == Joining) {
    FailJoin();
  } else {
    auto greeting = std::find_if(Greetings.begin(), Greetings.end(),
                                 [socket](const Greeting& g) { return g.Socket == socket; });
    if (greeting == Greetings.end()) return;
    Greetings.erase(greeting);
    Discard(socket);
  }
}

// The peer has left. A guest left alone takes the session over as its host.
// A joiner whose welcome never went out was never in the session: the game
// hears nothing of it.
void SessionTransport::Worker::DropPeer() {
  if (!Peer) return;
  Discard(Peer);
  Held.clear();
  HeldBytes = 0;
  PreviousPeer = PeerPlayer.Id;
  const bool takeOver = Open && !Hosting;
  if (takeOver) Hosting = true;
  if (PeerEntered) Sink({TTransportEvent::Kind::PlayerLeft, PeerPlayer, {}, takeOver});
  PeerEntered = false;
  PeerPlayer = {};
  if (takeOver) StartListening();
}

void SessionTransport::Worker::Write(const wire::Bytes& frame) {
  if (!Peer) return;
  Peer->write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
  PeerTold = Clock::now();
  if (Peer->bytesToWrite() > MaxUnsent) DropPeer();
}

void SessionTransport::Worker::Send(std::uint32_t recipient, const std::vector<std::uint8_t>& block) {
  if (Open && Peer && PeerEntered && PeerPlayer.Id == recipient)
    Write(wire::EncodeFrame(wire::FrameType::Message, block.data(), block.size()));
}

void SessionTransport::Worker::Tick() {
  const auto now = Clock::now();
  if (Peer && now - PeerHeard > Settings.KeepAliveTimeout) {
    DropPeer();
  } else if (Peer && now - PeerTold >= Settings.KeepAliveInterval - Ticker->intervalAsDuration()) {
    // One tick early, so that the gap between two frames stays within the
    // interval even when the tick that sends comes a full period late.
    Write(wire::EncodeFrame(wire::FrameType::KeepAlive));
  }
  for (std::size_t i = 0; i < Greetings.size();) {
    if (now < Greetings[i].Deadline) {
      ++i;
      continue;
    }
    Discard(Greetings[i].Socket);
    Greetings.erase(Greetings.begin() + static_cast<std::ptrdiff_t>(i));
  }
  if (Joining && now >= JoinDeadline) FailJoin();
  if (Open && Hosting && !(Server && Server->isListening())) StartListening();
}

// Closes every socket of the session. The peer is told first, and what was
// sent to it before is written out before the connection closes.
void SessionTransport::Worker::Leave() {
  Open = false;
  if (Server) Server->close();
  CloseResponders();
  for (auto& greeting : Greetings) Discard(greeting.Socket);
  Greetings.clear();
  if (Joining) FailJoin();
  if (Peer) {
    Peer->disconnect(this);
    const auto leave = wire::EncodeFrame(wire::FrameType::Leave);
    Peer->write(reinterpret_cast<const char*>(leave.data()), static_cast<qint64>(leave.size()));
    const auto deadline = Clock::now() + 2s;
    while (Peer->bytesToWrite() > 0 && Clock::now() < deadline && Peer->waitForBytesWritten(100)) {
    }
    Peer->readAll();  // unread bytes would turn the close into a reset
    Peer->disconnectFromHost();
    if (Peer->state() != QAbstractSocket::UnconnectedState) Peer->waitForDisconnected(500);
    Discard(Peer);
  }
  Held.clear();
  HeldBytes = 0;
  PeerEntered = false;
  Hosting = false;
  PeerPlayer = {};
}

}  // namespace kolbet
