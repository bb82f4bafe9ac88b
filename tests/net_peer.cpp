// net_peer: the other player for the network tests, in a process of its own
// so that the tests can kill it or stop it. It opens a session with the
// service's default timing and writes what happens on standard output, one
// line each:
//   open host|guest     the session is open
//   add NAME / del NAME  a remote player entered / left
//   msg HEX             a message arrived
//   error TEXT          an operation failed
// and takes commands on standard input, one a line:
//   send HEX            sends the bytes
//   sleep MS            holds the main thread, as a pause of the game does
//   close               closes the session
//
// usage: net_peer PORT host SESSION | net_peer PORT join SESSION MACHINE

#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "net/session_service.h"

using namespace kolbet;

namespace {

std::string Hex(const std::uint8_t* data, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += digits[data[i] >> 4];
    text += digits[data[i] & 15];
  }
  return text;
}

std::vector<std::uint8_t> Bytes(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void Obey(TDXPlay& play, const std::string& line) {
  const std::string word = line.substr(0, line.find(' '));
  const std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
  if (word == "send") {
    const auto bytes = Bytes(rest);
    play.Send(bytes.data(), bytes.size());
  } else if (word == "sleep") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(rest)));
  } else if (word == "close") {
    play.Close();
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 4) return 2;
  TSessionSettings settings;
  settings.Port = static_cast<std::uint16_t>(std::stoi(argv[1]));
  const std::string role = argv[2];
  const std::string session = argv[3];

  TDXPlay play(settings);
  play.OnAddPlayer = [](TDXPlay& sender, const TDXPlayPlayer& player) {
    if (player.ID != sender.LocalPlayer().ID) Say("add " + player.Name);
  };
  play.OnDeletePlayer = [](TDXPlay&, const TDXPlayPlayer& player) { Say("del " + player.Name); };
  play.OnMessage = [](TDXPlay&, const TDXPlayPlayer&, const std::uint8_t* data, std::size_t size) {
    Say("msg " + Hex(data, size));
  };
  try {
    if (role == "host") {
      play.SelectTransport(TcpIpProvider, "");
      play.CreateSession(session, "Peer");
    } else {
      play.SelectTransport(TcpIpProvider, argc > 4 ? argv[4] : "");
      play.SearchSessions();
      play.JoinSession(session, "Peer");
    }
  } catch (const SessionError& error) {
    Say(std::string("error ") + error.what());
    return 1;
  }
  Say(play.IsHost() ? "open host" : "open guest");

  std::string pending;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
      QCoreApplication::quit();
      return;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      Obey(play, line);
    }
  });
  return QCoreApplication::exec();
}
