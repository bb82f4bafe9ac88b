#include "platform/session_transport.h"

#include <condition_variable>
#include <future>
#include <mutex>

#include <QThread>

#include "platform/session_worker.h"

namespace kolbet {

// The transport's thread: the worker lives on its stack, so that it is made
// and destroyed on the thread whose event loop runs its sockets.
class SessionTransport::Thread final : public QThread {
 public:
  Thread(const TTransportSettings& settings, const EventSink& sink) : Settings(settings), Sink(sink) {}

  // The worker once the thread runs; null when it has ended.
  Worker* WaitForWorker() {
    std::unique_lock lock(Mutex);
    Changed.wait(lock, [&] { return Started; });
    return Running;
  }

 protected:
  void run() override {
    Worker worker(Settings, Sink);
    Publish(&worker);
    exec();
    Publish(nullptr);
  }

 private:
  void Publish(Worker* worker) {
    std::lock_guard lock(Mutex);
    Running = worker;
    Started = true;
    Changed.notify_all();
  }

  TTransportSettings Settings;
  EventSink Sink;
  std::mutex Mutex;
  std::condition_variable Changed;
  bool Started = false;
  Worker* Running = nullptr;
};

namespace {

// Runs `work` on the worker's thread and waits for its result through the clock.
template <typename Work>
auto OnWorker(SessionTransport::Worker* worker, ClockPort* clock, Work work) {
  using Result = decltype(work());
  std::promise<Result> done;
  auto result = done.get_future();
  QMetaObject::invokeMethod(worker, [&] {
    if constexpr (std::is_void_v<Result>) {
      work();
      done.set_value();
    } else {
      done.set_value(work());
    }
  });
  return Await(result, clock);
}

}  // namespace

SessionTransport::SessionTransport(TTransportSettings settings, EventSink sink)
    : Settings(settings), Sink(std::move(sink)) {}

SessionTransport::~SessionTransport() {
  if (!Runner) return;
  if (Worker* worker = Runner->WaitForWorker()) OnWorker(worker, Settings.Clock, [worker] { worker->Leave(); });
  Runner->quit();
  Runner->wait();
}

bool SessionTransport::Start() {
  if (Runner) return Runner->WaitForWorker() != nullptr;
  Runner = std::make_unique<Thread>(Settings, Sink);
  Runner->start();
  return Runner->WaitForWorker() != nullptr;
}

std::optional<std::vector<TFoundSession>> SessionTransport::Search(
    const std::vector<QHostAddress>& machines, bool stopAtFirst) {
  Worker* worker = Runner ? Runner->WaitForWorker() : nullptr;
  if (!worker) return std::nullopt;
  auto done = std::make_shared<std::promise<std::optional<std::vector<TFoundSession>>>>();
  auto result = done->get_future();
  QMetaObject::invokeMethod(worker, [=] { worker->StartSearch(machines, stopAtFirst, done); });
  return Await(result, Settings.Clock);
}

std::optional<TOpenedSession> SessionTransport::Host(const std::string& sessionName,
                                                     const std::string& playerName) {
  Worker* worker = Runner ? Runner->WaitForWorker() : nullptr;
  if (!worker) return std::nullopt;
  return OnWorker(worker, Settings.Clock, [&] { return worker->Host(sessionName, playerName); });
}

std::optional<TOpenedSession> SessionTransport::Join(const TFoundSession& session,
                                                     const std::string& playerName) {
  Worker* worker = Runner ? Runner->WaitForWorker() : nullptr;
  if (!worker) return std::nullopt;
  auto done = std::make_shared<std::promise<std::optional<TOpenedSession>>>();
  auto result = done->get_future();
  QMetaObject::invokeMethod(worker, [=] { worker->StartJoin(session, playerName, done); });
  return Await(result, Settings.Clock);
}

void SessionTransport::Send(std::uint32_t recipient, std::vector<std::uint8_t> block) {
  Worker* worker = Runner ? Runner->WaitForWorker() : nullptr;
  if (!worker) return;
  QMetaObject::invokeMethod(worker, [worker, recipient, block = std::move(block)] { worker->Send(recipient, block); });
}

void SessionTransport::Leave() {
  Worker* worker = Runner ? Runner->WaitForWorker() : nullptr;
  if (worker) OnWorker(worker, Settings.Clock, [worker] { worker->Leave(); });
}

}  // namespace kolbet
