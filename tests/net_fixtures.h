#pragma once
// What the network tests share: a session service that writes down its
// events, the event loop turned until something has happened, and the other
// player in a process of its own (net_peer).

#include <netinet/in.h>
#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "net/session_service.h"
#include "platform/session_wire.h"

namespace kolbet::test {

using namespace std::chrono_literals;

// Quick keep-alive and short searches, so that the tests need not wait for
// the program's own timing; the port is the test's own.
TSessionSettings QuickSettings(std::uint16_t port);

// A service with its events written down as "add NAME", "del NAME" and
// "msg NAME BYTES" (the bytes as text).
struct Side {
  explicit Side(TSessionSettings settings);
  TDXPlay Play;
  std::vector<std::string> Events;
  // Select TCP/IP with `host`, search, and return the names found.
  std::vector<std::string> Search(const std::string& host = " ");
  void Send(const std::string& text);
};

// Turns the event loop of this thread until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s);
// Turns the event loop for the given time.
void PumpFor(std::chrono::milliseconds time);

// Raw sockets on loopback, for peers that do what the program never would.
sockaddr_in Loopback(std::uint16_t port);
int Connect(std::uint16_t port);
// Reads until the other side closes or the time is up; true when it closed.
bool ClosedWithin(int fd, std::chrono::milliseconds limit, wire::Bytes* received = nullptr);
// One datagram to the port; the answer within the time, if any.
wire::Bytes Ask(std::uint16_t port, const wire::Bytes& datagram, std::chrono::milliseconds wait = 300ms);

// net_peer in a child process, with its standard input and output on pipes.
class PeerProcess {
 public:
  explicit PeerProcess(const std::vector<std::string>& arguments);
  ~PeerProcess();  // kills it
  void Tell(const std::string& line);
  // The lines it has written so far.
  const std::vector<std::string>& Lines();
  bool Wrote(const std::string& line) { const auto& l = Lines(); return std::find(l.begin(), l.end(), line) != l.end(); }
  void Signal(int signal);

 private:
  pid_t Pid = -1;
  int In = -1;
  int Out = -1;
  std::string Partial;
  std::vector<std::string> Written;
};

}  // namespace kolbet::test
