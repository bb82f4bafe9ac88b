#include "tests/net_fixtures.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace kolbet::test {

TSessionSettings QuickSettings(std::uint16_t port) {
  TSessionSettings settings;
  settings.Port = port;
  settings.SearchTime = 400ms;
  settings.KeepAliveInterval = 100ms;
  settings.KeepAliveTimeout = 700ms;
  settings.HandshakeTimeout = 800ms;
  return settings;
}

// Every event must run on the thread that made the service.
Side::Side(TSessionSettings settings) : Play(std::move(settings)) {
  const auto here = std::this_thread::get_id();
  const auto note = [this, here](std::string event) {
    Events.push_back(std::this_thread::get_id() == here ? std::move(event) : "off its thread: " + event);
  };
  Play.OnAddPlayer = [note](TDXPlay&, const TDXPlayPlayer& player) { note("add " + player.Name); };
  Play.OnDeletePlayer = [note](TDXPlay&, const TDXPlayPlayer& player) { note("del " + player.Name); };
  Play.OnMessage = [note](TDXPlay&, const TDXPlayPlayer& from, const std::uint8_t* data, std::size_t size) {
    note("msg " + from.Name + " " + std::string(reinterpret_cast<const char*>(data), size));
  };
}

std::vector<std::string> Side::Search(const std::string& host) {
  Play.SelectTransport(TcpIpProvider, host);
  return Play.SearchSessions();
}

void Side::Send(const std::string& text) {
  Play.Send(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

void PumpFor(std::chrono::milliseconds time) {
  PumpUntil([] { return false; }, time);
}

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int Connect(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = Loopback(port);
  EXPECT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  return fd;
}

bool ClosedWithin(int fd, std::chrono::milliseconds limit, wire::Bytes* received) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::uint8_t buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return true;
    if (received) received->insert(received->end(), buffer, buffer + got);
  }
  return false;
}

wire::Bytes Ask(std::uint16_t port, const wire::Bytes& datagram, std::chrono::milliseconds wait) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in address = Loopback(port);
  sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  pollfd p{fd, POLLIN, 0};
  wire::Bytes answer(70000);
  const ssize_t got = poll(&p, 1, static_cast<int>(wait.count())) > 0 ? recv(fd, answer.data(), answer.size(), 0) : 0;
  answer.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  close(fd);
  return answer;
}

PeerProcess::PeerProcess(const std::vector<std::string>& arguments) {
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) throw std::runtime_error("pipe");
  Pid = fork();
  if (Pid == 0) {
    dup2(toChild[0], STDIN_FILENO);
    dup2(fromChild[1], STDOUT_FILENO);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);
    std::vector<char*> argv;
    std::string program = KOLBET_NET_PEER;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  In = toChild[1];
  Out = fromChild[0];
  fcntl(Out, F_SETFL, O_NONBLOCK);
}

PeerProcess::~PeerProcess() {
  if (Pid > 0) {
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
  }
  close(In);
  close(Out);
}

void PeerProcess::Tell(const std::string& line) {
  const std::string text = line + "\n";
  ASSERT_EQ(write(In, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

const std::vector<std::string>& PeerProcess::Lines() {
  char buffer[4096];
  for (ssize_t got; (got = read(Out, buffer, sizeof buffer)) > 0;) {
    Partial.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = Partial.find('\n')) != std::string::npos;) {
      Written.push_back(Partial.substr(0, end));
      Partial.erase(0, end + 1);
    }
  }
  return Written;
}

void PeerProcess::Signal(int signal) { kill(Pid, signal); }

}  // namespace kolbet::test
