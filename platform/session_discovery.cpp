// The search half of the transport's worker: asking for sessions, and, while
// hosting, answering such questions.

#include <algorithm>

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QTimer>
#include <QUdpSocket>

#include "platform/session_worker.h"

namespace kolbet {

namespace {

// Bigger than any datagram of this program; longer ones are cut and then refused.
constexpr qint64 MaxDatagram = 8192;
// Datagrams taken in one go, so that a flood cannot hold up the keep-alive.
constexpr int DatagramsPerTurn = 64;
// Sessions listed at most; more answers than that are no real network's.
constexpr std::size_t MaxListed = 256;
// A question is sent again this often during the search, in case one is lost.
constexpr std::chrono::milliseconds ResendPeriod{300};

QHostAddress Plain(const QHostAddress& address) {
  bool isV4 = false;
  const quint32 v4 = address.toIPv4Address(&isV4);
  return isV4 ? QHostAddress(v4) : address;
}

// The whole local network: the broadcast address of every IPv4 interface that
// is up, and the loopback address itself (loopback has no broadcast).
std::vector<QHostAddress> LocalNetwork() {
  std::vector<QHostAddress> targets;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    if (!(interface.flags() & QNetworkInterface::IsUp)) continue;
    const bool loopback = interface.flags() & QNetworkInterface::IsLoopBack;
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
      const QHostAddress target = loopback ? entry.ip() : entry.broadcast();
      if (!target.isNull() && std::find(targets.begin(), targets.end(), target) == targets.end())
        targets.push_back(target);
    }
  }
  return targets;
}

}  // namespace

void SessionTransport::Worker::StartSearch(const std::vector<QHostAddress>& machines, bool stopAtFirst,
                                           SearchDone done) {
  if (Searching) {  // the caller waits for each search, so this does not happen
    done->set_value(std::nullopt);
    return;
  }
  Searching = std::make_unique<Search>();
  Search& s = *Searching;
  s.Done = std::move(done);
  s.StopAtFirst = stopAtFirst;
  for (const QHostAddress& machine : machines.empty() ? LocalNetwork() : machines)
    s.Targets.push_back(Plain(machine));
  s.Socket4 = new QUdpSocket(this);
  s.Socket6 = new QUdpSocket(this);
  for (QUdpSocket* socket : {s.Socket4, s.Socket6}) socket->setProxy(QNetworkProxy::NoProxy);
  if (!s.Socket4->bind(QHostAddress::AnyIPv4, 0)) s.Socket4->close();
  if (!s.Socket6->bind(QHostAddress::AnyIPv6, 0)) s.Socket6->close();
  for (QUdpSocket* socket : {s.Socket4, s.Socket6})
    connect(socket, &QUdpSocket::readyRead, this, [this, socket] { SearchAnswered(socket); });
  s.Resend = new QTimer(this);
  s.Resend->setInterval(ResendPeriod);
  connect(s.Resend, &QTimer::timeout, this, [this] { ResendSearch(); });
  s.End = new QTimer(this);
  s.End->setSingleShot(true);
  s.End->setTimerType(Qt::PreciseTimer);  // a coarse timer may end a search 5 % late
  connect(s.End, &QTimer::timeout, this, [this] { FinishSearch(); });

  std::size_t asked = 0;
  const auto request = wire::EncodeSearchRequest(Settings.Application);
  for (const QHostAddress& target : s.Targets) {
    QUdpSocket* socket = target.protocol() == QAbstractSocket::IPv4Protocol ? s.Socket4 : s.Socket6;
    if (socket->state() != QAbstractSocket::BoundState) continue;
    if (socket->writeDatagram(reinterpret_cast<const char*>(request.data()),
                              static_cast<qint64>(request.size()), target, Settings.Port) >= 0)
      ++asked;
  }
  if (asked == 0) {
    Searching->Found.clear();
    auto failed = std::move(Searching->Done);
    FinishSearch();
    failed->set_value(std::nullopt);
    return;
  }
  s.Resend->start();
  s.End->start(Settings.SearchTime);
}

void SessionTransport::Worker::ResendSearch() {
  if (!Searching) return;
  const auto request = wire::EncodeSearchRequest(Settings.Application);
  for (const QHostAddress& target : Searching->Targets) {
    QUdpSocket* socket =
        target.protocol() == QAbstractSocket::IPv4Protocol ? Searching->Socket4 : Searching->Socket6;
    if (socket->state() == QAbstractSocket::BoundState)
      socket->writeDatagram(reinterpret_cast<const char*>(request.data()), static_cast<qint64>(request.size()),
                            target, Settings.Port);
  }
}

// Answers of open sessions of this application; anything else is passed over.
void SessionTransport::Worker::SearchAnswered(QUdpSocket* socket) {
  for (int taken = 0; Searching && taken < DatagramsPerTurn && socket->hasPendingDatagrams(); ++taken) {
    const QNetworkDatagram datagram = socket->receiveDatagram(MaxDatagram);
    const QByteArray data = datagram.data();
    const auto answer =
        wire::DecodeSessionAnswer(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                  static_cast<std::size_t>(data.size()));
    if (!answer || answer->Application != Settings.Application || answer->Players >= answer->MaxPlayers)
      continue;
    auto& found = Searching->Found;
    const bool known = std::any_of(found.begin(), found.end(),
                                   [&](const TFoundSession& f) { return f.Session == answer->Session; });
    if (known || found.size() >= MaxListed) continue;
    found.push_back({answer->Name, answer->Session, Plain(datagram.senderAddress())});
    if (Searching->StopAtFirst) {
      FinishSearch();
      return;
    }
  }
}

void SessionTransport::Worker::FinishSearch() {
  if (!Searching) return;
  std::unique_ptr<Search> s = std::move(Searching);
  for (QObject* object : std::initializer_list<QObject*>{s->Socket4, s->Socket6, s->Resend, s->End}) {
    object->disconnect(this);
    object->deleteLater();
  }
  if (s->Done) s->Done->set_value(std::move(s->Found));
}

bool SessionTransport::Worker::OpenResponders() {
  if (!Responder4) {
    Responder4 = new QUdpSocket(this);
    Responder6 = new QUdpSocket(this);
    for (QUdpSocket* socket : {Responder4, Responder6}) {
      socket->setProxy(QNetworkProxy::NoProxy);
      connect(socket, &QUdpSocket::readyRead, this, [this, socket] { AnswerSearches(socket); });
    }
  }
  const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
  if (Responder4->state() != QAbstractSocket::BoundState &&
      !Responder4->bind(QHostAddress::AnyIPv4, Settings.Port, mode))
    return false;
  // IPv6 is answered where the machine has it.
  if (Responder6->state() != QAbstractSocket::BoundState) Responder6->bind(QHostAddress::AnyIPv6, Settings.Port, mode);
  return true;
}

void SessionTransport::Worker::CloseResponders() {
  if (Responder4) Responder4->close();
  if (Responder6) Responder6->close();
}

// A host with room answers every question for its application.
void SessionTransport::Worker::AnswerSearches(QUdpSocket* socket) {
  for (int taken = 0; taken < DatagramsPerTurn && socket->hasPendingDatagrams(); ++taken) {
    const QNetworkDatagram datagram = socket->receiveDatagram(MaxDatagram);
    const QByteArray data = datagram.data();
    const auto application =
        wire::DecodeSearchRequest(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                  static_cast<std::size_t>(data.size()));
    if (!application || *application != Settings.Application || !Open || !Hosting || Peer) continue;
    const auto answer = wire::EncodeSessionAnswer({Settings.Application, SessionId, 1, 2, SessionName});
    socket->writeDatagram(reinterpret_cast<const char*>(answer.data()), static_cast<qint64>(answer.size()),
                          datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()));
  }
}

}  // namespace kolbet
