#include "net/session_service.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include <QHostInfo>
#include <QObject>
#include <QString>

#include "platform/session_transport.h"

namespace kolbet {

namespace {

// What may wait for the game while its thread is held; a peer that sends more
// than that meanwhile is cut off rather than let memory grow.
constexpr std::size_t MaxWaitingBytes = std::size_t{8} * 1024 * 1024;
constexpr std::size_t MaxWaiting = 65536;
// The longest player name handed to the session, in characters.
constexpr qsizetype MaxPlayerName = 1024;

SessionError CannotOpenSession(const std::string& name) {
  return SessionError("Session " + name + " cannot be opened");
}

std::string Trimmed(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed().toStdString();
}

bool SameName(const std::string& a, std::string_view b) {
  return QString::fromStdString(a).compare(
             QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive) == 0;
}

}  // namespace

std::uint16_t PortFromEnvironment() {
  const char* text = std::getenv("KOLBET_PORT");
  if (!text) return KolbetPort;
  const std::string_view value(text);
  unsigned port = 0;
  const auto parsed = std::from_chars(value.data(), value.data() + value.size(), port);
  if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size() || port < 1 || port > 65535)
    return KolbetPort;
  return static_cast<std::uint16_t>(port);
}

// The selected transport, the last search's list, and what arrived for the
// game: filled by the transport's thread, handed over by the receiving thread,
// emptied on the user-interface thread.
struct TDXPlay::Receiver {
  std::string HostName;  // blank: the local network
  std::vector<TFoundSession> Sessions;

  std::mutex Mutex;
  std::condition_variable Changed;
  std::deque<TTransportEvent> Waiting;
  std::size_t WaitingBytes = 0;
  bool HandedOver = false;  // a drain is on its way to the user-interface thread
  bool Stopping = false;
  std::thread Thread;

  std::unique_ptr<SessionTransport> Transport;  // last: it stops pushing before the rest goes

  bool Push(TTransportEvent item) {
    std::lock_guard lock(Mutex);
    if (item.What == TTransportEvent::Kind::Message) {
      if (Waiting.size() >= MaxWaiting || WaitingBytes + item.Data.size() > MaxWaitingBytes) return false;
      WaitingBytes += item.Data.size();
    }
    Waiting.push_back(std::move(item));
    Changed.notify_all();
    return true;
  }

  std::optional<TTransportEvent> Take() {
    std::lock_guard lock(Mutex);
    if (Waiting.empty()) {
      HandedOver = false;
      Changed.notify_all();
      return std::nullopt;
    }
    TTransportEvent item = std::move(Waiting.front());
    Waiting.pop_front();
    WaitingBytes -= item.Data.size();
    return item;
  }

  void Release() {
    std::lock_guard lock(Mutex);
    HandedOver = false;
    Changed.notify_all();
  }

  // The receiving thread: whenever something waits, hands the draining over
  // to the user-interface thread and waits until it is done.
  void Run(QObject* ui, const std::function<void()>& drain) {
    std::unique_lock lock(Mutex);
    for (;;) {
      Changed.wait(lock, [&] { return Stopping || !Waiting.empty(); });
      if (Stopping) return;
      HandedOver = true;
      QMetaObject::invokeMethod(ui, drain, Qt::QueuedConnection);
      Changed.wait(lock, [&] { return Stopping || !HandedOver; });
    }
  }

  void StartReceiving(QObject* ui, std::function<void()> drain) {
    Thread = std::thread([this, ui, drain = std::move(drain)] { Run(ui, drain); });
  }

  // Ends the receiving thread and forgets what still waits.
  void StopReceiving() {
    {
      std::lock_guard lock(Mutex);
      Stopping = true;
      Changed.notify_all();
    }
    if (Thread.joinable()) Thread.join();
    std::lock_guard lock(Mutex);
    Waiting.clear();
    WaitingBytes = 0;
    HandedOver = false;
    Stopping = false;
  }
};

TDXPlay::TDXPlay(TSessionSettings settings) : Settings(std::move(settings)), Ui(std::make_unique<QObject>()) {}

TDXPlay::~TDXPlay() { Close(); }

void TDXPlay::SelectTransport(std::string_view provider, std::string_view hostName) {
  Close();
  const auto tcpIp = wire::ParseGuid(TcpIpProvider);
  if (wire::ParseGuid(provider) != tcpIp) throw SessionError("Provider of specified GUID is not found");
  const auto application = wire::ParseGuid(Settings.GUID);
  if (!application) throw SessionError("DirectPlay cannot be initialized");

  TTransportSettings transport;
  transport.Application = *application;
  transport.Port = Settings.Port;
  transport.SearchTime = Settings.SearchTime;
  transport.KeepAliveInterval = Settings.KeepAliveInterval;
  transport.KeepAliveTimeout = Settings.KeepAliveTimeout;
  transport.HandshakeTimeout = Settings.HandshakeTimeout;
  transport.Clock = Settings.Clock;
  auto receiver = std::make_unique<Receiver>();
  receiver->HostName = Trimmed(hostName);
  Receiver* inbox = receiver.get();
  receiver->Transport = std::make_unique<SessionTransport>(
      transport, [inbox](TTransportEvent item) { return inbox->Push(std::move(item)); });
  if (!receiver->Transport->Start()) throw SessionError("DirectPlay cannot be initialized");
  Receiving = std::move(receiver);
}

std::vector<std::string> TDXPlay::SearchSessions() {
  const SessionError failed("Session list cannot be acquired");
  if (!Receiving) throw failed;
  Receiving->Sessions.clear();
  std::vector<QHostAddress> machines;
  const std::string& host = Receiving->HostName;
  if (!host.empty()) {
    QHostAddress address;
    if (address.setAddress(QString::fromStdString(host))) {
      machines.push_back(address);
    } else {
      // The name is looked up elsewhere, so that a slow name service holds
      // the caller only as the search itself does.
      auto lookup = std::async(std::launch::async, [name = QString::fromStdString(host)] {
        return QHostInfo::fromName(name).addresses();
      });
      for (const QHostAddress& a : Await(lookup, Settings.Clock)) machines.push_back(a);
    }
    if (machines.empty()) throw failed;
  }
  auto found = Receiving->Transport->Search(machines, !host.empty());
  if (!found) throw failed;
  Receiving->Sessions = std::move(*found);
  std::vector<std::string> names;
  for (const TFoundSession& session : Receiving->Sessions) names.push_back(session.Name);
  return names;
}

void TDXPlay::CreateSession(std::string_view sessionName, std::string_view playerName) {
  if (sessionName.empty()) throw SessionError("Session name is not specified");
  if (playerName.empty()) throw SessionError("Player name is not specified");
  OpenFor(std::string(sessionName), std::string(playerName), true);
}

void TDXPlay::JoinSession(std::string_view sessionName, std::string_view playerName) {
  const std::string name(sessionName);
  bool listed = false;
  if (Receiving) {
    for (const TFoundSession& session : Receiving->Sessions) listed = listed || SameName(session.Name, name);
  }
  if (!listed) throw SessionError("Session '" + name + "' not found");
  if (playerName.empty()) throw SessionError("Player name is not specified");
  OpenFor(name, std::string(playerName), false);
}

// Opening for the local player: the player joins under its name, the players
// already there are taken in without events, and this side is the host
// exactly when it found nobody. Receiving starts, and the local player's
// entering is reported once.
void TDXPlay::OpenFor(const std::string& sessionName, const std::string& playerName, bool create) {
  if (!Receiving) throw CannotOpenSession(sessionName);
  LeaveSession();
  const std::string player = QString::fromStdString(playerName).left(MaxPlayerName).toStdString();
  std::optional<TOpenedSession> opened;
  if (create) {
    opened = Receiving->Transport->Host(sessionName, player);
  } else {
    for (const TFoundSession& session : Receiving->Sessions) {
      if (!SameName(session.Name, sessionName)) continue;
      opened = Receiving->Transport->Join(session, player);
      break;
    }
  }
  if (!opened) throw CannotOpenSession(sessionName);
  Local = {opened->Local.Id, opened->Local.Name};
  Remote.clear();
  for (const TTransportPlayer& p : opened->Remote) Remote.push_back({p.Id, p.Name});
  Host = Remote.empty();
  Opened = true;
  const std::uint64_t generation = Generation;
  Receiving->StartReceiving(Ui.get(), [this, generation] {
    const auto drain = [this, generation] {
      if (Generation == generation) Drain();
    };
    if (OnArrival)
      OnArrival(drain);
    else
      drain();
  });
  if (OnAddPlayer) OnAddPlayer(*this, Local);
}

// The block goes to the players the game knows of. A player that entered the
// session but whose entering the game has not handled yet gets nothing: what
// the game sends meanwhile was meant for the one before.
void TDXPlay::Send(const std::uint8_t* data, std::size_t size) {
  if (!Opened || !Receiving) return;
  if (!data || size < 4 || size > wire::MaxBlock) throw SessionError("The message form is illegal");
  for (const TDXPlayPlayer& player : Remote)
    Receiving->Transport->Send(player.ID, std::vector<std::uint8_t>(data, data + size));
}

void TDXPlay::LeaveSession() {
  if (!Receiving) return;
  ++Generation;
  Receiving->Transport->Leave();
  Receiving->StopReceiving();
  Opened = false;
  Local = {};
  Remote.clear();
}

void TDXPlay::Close() {
  LeaveSession();
  Receiving.reset();
}

// On the user-interface thread: one waiting item after the other until none
// is left. An error from the game ends this pass; what is left is handed over again.
void TDXPlay::Drain() {
  const std::uint64_t generation = Generation;
  Receiver* receiver = Receiving.get();
  while (auto item = receiver->Take()) {
    try {
      Deliver(*item);
    } catch (const std::exception& error) {
      if (!OnError) {
        if (Generation == generation) receiver->Release();
        throw;
      }
      OnError(error);
      if (Generation == generation) receiver->Release();
      return;
    }
    if (Generation != generation) return;  // a handler closed the session
  }
}

void TDXPlay::Deliver(const TTransportEvent& item) {
  const std::uint32_t id = item.Player.Id;
  const auto known = [&] {
    return std::find_if(Remote.begin(), Remote.end(), [id](const TDXPlayPlayer& p) { return p.ID == id; });
  };
  switch (item.What) {
    case TTransportEvent::Kind::PlayerEntered: {
      const TDXPlayPlayer player{id, item.Player.Name};
      Remote.push_back(player);
      if (OnAddPlayer) OnAddPlayer(*this, player);
      break;
    }
    case TTransportEvent::Kind::PlayerLeft: {
      if (item.NowHost) Host = true;
      if (known() == Remote.end()) break;
      const TDXPlayPlayer player = *known();
      const std::uint64_t generation = Generation;
      if (OnDeletePlayer) OnDeletePlayer(*this, player);
      if (Generation != generation) break;
      if (auto at = known(); at != Remote.end()) Remote.erase(at);
      break;
    }
    case TTransportEvent::Kind::Message: {
      if (item.Data.size() < 4) break;
      if (known() == Remote.end()) throw SessionError("The player of specified ID is not found");
      const TDXPlayPlayer from = *known();
      if (OnMessage) OnMessage(*this, from, item.Data.data(), item.Data.size());
      break;
    }
  }
}

}  // namespace kolbet
