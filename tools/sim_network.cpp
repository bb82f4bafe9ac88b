#include "tools/sim_network.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include <QCoreApplication>

#include "game/phase_machine.h"
#include "net/game_messages.h"
#include "net/session_service.h"
#include "tools/net_seat.h"

namespace kolbet {

namespace {

using Clock = std::chrono::steady_clock;

// How long a guest searches for the session before it gives up.
constexpr std::chrono::seconds SearchPatience{10};

// The text the lobby shows when the name cannot be a new session's.
constexpr char NameRefused[] = "Dein Nomer gits schuo. Gih an ondern ei.";

// Each event's lines are on standard output before the next event, so that a
// watcher sees how far the seat has come.
void FlushOut(Transcript& transcript) {
  transcript.Flush();
  std::fflush(stdout);
}

int Refuse(Transcript& transcript, const char* text) {
  FlushOut(transcript);
  std::fprintf(stderr, "%s\n", text);
  return 1;
}

}  // namespace

int RunNetworkSeat(const NetSimOptions& options, Transcript& transcript) {
  int argc = 1;
  char program[] = "kolbet-sim";
  char* argv[] = {program, nullptr};
  QCoreApplication app(argc, argv);

  RecordingSound sound(transcript);
  VirtualClock clock(transcript);
  TGame game;
  game.Sound = &sound;
  game.Clock = &clock;
  const std::string playerName(DrawDefaultName(game, options.Seed, transcript));

  TSessionSettings settings;
  settings.Port = options.Port;
  TDXPlay play(settings);
  TranscribedSession session(play, transcript);
  game.Session = &session;
  NetSeat seat(game, transcript, options.Hands);
  bool opened = false;  // the local player's own report at the opening is no join
  bool done = false;

  // The host leaves as the game bar's "Zruck" does; a guest is done once its
  // host has gone. Either way the transcript ends with the points.
  const auto finish = [&] {
    if (done) return;
    done = true;
    if (game.IsHost) BackToMenu(game);
    play.Close();
    transcript.End(game.Table);
    FlushOut(transcript);
    QCoreApplication::exit(0);
  };
  play.OnError = [](const std::exception& error) { std::fprintf(stderr, "kolbet-sim: %s\n", error.what()); };
  play.OnAddPlayer = [&](TDXPlay& sender, const TDXPlayPlayer& player) {
    game.IsHost = sender.IsHost();
    if (!opened || player.ID == sender.LocalPlayer().ID) {
      DXPlay1AddPlayer(game);  // does nothing: the table is not waiting yet
      return;
    }
    seat.PlayerEntered();
    FlushOut(transcript);
    if (seat.Finished()) finish();
  };
  play.OnDeletePlayer = [&](TDXPlay& sender, const TDXPlayPlayer&) {
    game.IsHost = sender.IsHost();
    seat.PlayerLeft();
    FlushOut(transcript);
    if (!options.Host) finish();
  };
  play.OnMessage = [&](TDXPlay& sender, const TDXPlayPlayer&, const std::uint8_t* data, std::size_t size) {
    game.IsHost = sender.IsHost();
    seat.Message(data, size);
    FlushOut(transcript);
    if (seat.Finished()) finish();
  };

  try {
    if (options.Host) {
      // "Nei's Spuell": no session of the last search (there was none) has the name.
      if (options.Name.empty()) return Refuse(transcript, NameRefused);
      play.SelectTransport(TcpIpProvider, " ");
      game.Table.NeedsRedraw = true;
      play.CreateSession(options.Name, options.Name);
    } else {
      // Searches until the session is listed or the patience is spent; the
      // join then fails with the service's own text when it is not.
      play.SelectTransport(TcpIpProvider, options.Address.empty() ? " " : options.Address);
      const auto deadline = Clock::now() + SearchPatience;
      for (bool listed = false; !listed && Clock::now() < deadline;) {
        for (const std::string& name : play.SearchSessions()) listed = listed || name == options.Name;
        if (!listed) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      game.Table.NetworkGame = true;
      play.JoinSession(options.Name, playerName);
      game.Table.NeedsRedraw = true;
    }
  } catch (const SessionError& error) {
    return Refuse(transcript, error.what());
  }
  opened = true;
  game.IsHost = play.IsHost();
  seat.Opened();
  FlushOut(transcript);
  if (seat.Finished()) finish();
  if (!done) QCoreApplication::exec();
  return 0;
}

}  // namespace kolbet
