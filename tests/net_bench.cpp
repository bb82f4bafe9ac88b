// kolbet-netbench: measures the session service over loopback with the
// program's own timing and prints the figures: how long a search takes with a
// named and with a blank host, how long a message takes from its send to its
// handing over, and how long a killed and a stopped peer take to be noticed.
//
// usage: kolbet-netbench [PORT]   (default 29480; uses PORT and PORT + 1)

#include <signal.h>

#include <algorithm>
#include <cstdio>

#include <QCoreApplication>

#include "tests/net_fixtures.h"

using namespace kolbet;
using namespace kolbet::test;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-40s median %9.3f ms  min %9.3f  max %9.3f  (%zu runs)\n", what, ms[ms.size() / 2], ms.front(),
              ms.back(), ms.size());
}

TSessionSettings Program(std::uint16_t port) {
  TSessionSettings settings;
  settings.Port = port;
  return settings;
}

std::vector<double> Searches(std::uint16_t port, const char* machine, int runs) {
  Side seeker(Program(port));
  seeker.Play.SelectTransport(TcpIpProvider, machine);
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    if (seeker.Play.SearchSessions().size() != 1) std::printf("  (a search of %s found nothing)\n", machine);
    ms.push_back(Ms(Clock::now() - start));
  }
  return ms;
}

// From the send on one side to the message handler on the other, both in this process.
std::vector<double> Deliveries(Side& from, Side& to, int runs) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const std::size_t before = to.Events.size();
    const auto start = Clock::now();
    from.Send("twelve bytes");
    while (to.Events.size() == before) QCoreApplication::processEvents();
    ms.push_back(Ms(Clock::now() - start));
  }
  return ms;
}

// From the signal to the peer's leaving being handed over.
std::vector<double> Noticed(std::uint16_t port, int signal, int runs) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    Side host(Program(port));
    host.Play.SelectTransport(TcpIpProvider);
    host.Play.CreateSession("Wirt", "Sepp");
    PeerProcess peer({std::to_string(port), "join", "Wirt", "127.0.0.1"});
    if (!PumpUntil([&] { return host.Events.size() == 2; }, 10s)) return ms;
    const auto start = Clock::now();
    peer.Signal(signal);
    while (host.Events.size() == 2 && Clock::now() - start < 20s) QCoreApplication::processEvents();
    ms.push_back(Ms(Clock::now() - start));
    if (signal == SIGSTOP) peer.Signal(SIGCONT);
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  QCoreApplication app(argc, argv);
  const auto port = static_cast<std::uint16_t>(argc > 1 ? std::stoi(argv[1]) : 29480);
  {
    Side host(Program(port));
    host.Play.SelectTransport(TcpIpProvider);
    host.Play.CreateSession("Wirt", "Sepp");
    Report("search, host 127.0.0.1", Searches(port, "127.0.0.1", 50));
    Report("search, host localhost", Searches(port, "localhost", 20));
    Report("search, blank host (local network)", Searches(port, " ", 3));

    Side guest(Program(port));
    guest.Play.SelectTransport(TcpIpProvider, "127.0.0.1");
    guest.Play.SearchSessions();
    guest.Play.JoinSession("Wirt", "Xaver");
    PumpUntil([&] { return host.Events.size() == 2; });
    Deliveries(host, guest, 100);  // warm up
    Report("send to arrival, host to guest", Deliveries(host, guest, 2000));
    Report("send to arrival, guest to host", Deliveries(guest, host, 2000));
  }
  Report("killed peer noticed (SIGKILL)", Noticed(static_cast<std::uint16_t>(port + 1), SIGKILL, 5));
  Report("stopped peer noticed (SIGSTOP)", Noticed(static_cast<std::uint16_t>(port + 1), SIGSTOP, 2));
}
