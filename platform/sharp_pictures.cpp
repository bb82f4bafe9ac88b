#include "platform/sharp_pictures.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <new>

#include "assets/data_error.h"

namespace kolbet {

QImage WithBorder(const QImage& picture) {
  QImage bordered(picture.width() + 2, picture.height() + 2, QImage::Format_ARGB32_Premultiplied);
  bordered.fill(Qt::transparent);
  QPainter painter(&bordered);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(1, 1, picture);
  painter.end();
  return bordered;
}

QImage MakeSharpPicture(const THdPack& pack, const TSharpKey& key) {
  const TPicture decoded = pack.Decode(key.Index, key.Width, key.Height);
  if (decoded.Empty()) return {};
  // The decoded pixels are 0xAARRGGBB with straight alpha, which is
  // QImage::Format_ARGB32 row for row.
  QImage image(decoded.Width, decoded.Height, QImage::Format_ARGB32);
  if (image.isNull()) throw std::bad_alloc();  // Qt gives a null picture when it has no memory for it
  for (int y = 0; y < decoded.Height; ++y) {
    std::copy_n(decoded.Pixels.data() + static_cast<std::size_t>(y) * decoded.Width, decoded.Width,
                reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
  }
  image = image.convertToFormat(DrawnWithKeyColour(key.Index) ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
  if (image.width() != key.Width || image.height() != key.Height)
    image = image.scaled(key.Width, key.Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return key.Framed ? WithBorder(image) : image;
}

TSharpPictures::TSharpPictures(std::shared_ptr<const THdPack> pack, std::function<void()> done, int threads)
    : Pack(std::move(pack)), Done(std::move(done)) {
  if (!Done) return;
  if (threads <= 0) threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 2u));
  for (int i = 0; i < threads; ++i) Workers.emplace_back([this] { Work(); });
}

TSharpPictures::~TSharpPictures() {
  {
    const std::lock_guard<std::mutex> guard(Lock);
    Stopping = true;
  }
  Wake.notify_all();
  for (std::thread& worker : Workers) worker.join();
}

void TSharpPictures::Request(const TSharpKey& key) {
  std::unique_lock<std::mutex> lock(Lock);
  if (!Failure.empty() || !Asked.insert(key).second) return;
  if (!Done) {
    Make(key, lock);
    return;
  }
  Queue.push_back(key);
  Wake.notify_one();
}

void TSharpPictures::KeepOnly(const std::set<TSharpKey>& wanted) {
  const std::lock_guard<std::mutex> guard(Lock);
  std::erase_if(Queue, [&](const TSharpKey& key) {
    if (wanted.contains(key)) return false;
    Asked.erase(key);
    return true;
  });
}

std::vector<std::pair<TSharpKey, QImage>> TSharpPictures::TakeDone() {
  const std::lock_guard<std::mutex> guard(Lock);
  for (const auto& [key, image] : Made) Asked.erase(key);
  return std::exchange(Made, {});
}

std::string TSharpPictures::Error() const {
  const std::lock_guard<std::mutex> guard(Lock);
  return Failure;
}

// Called with the lock held; the picture is made without it.
void TSharpPictures::Make(const TSharpKey& key, std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  QImage image;
  std::string error;
  try {
    image = MakeSharpPicture(*Pack, key);
  } catch (const DataError& e) {
    error = e.what();
  } catch (const std::bad_alloc&) {
    error = "Datei " + Pack->Name() + " ist zu groß";
  } catch (const std::exception& e) {
    // Nothing may escape this thread; whatever went wrong ends the companion.
    error = e.what();
  }
  lock.lock();
  if (!error.empty()) {
    Failure = error;
    Queue.clear();
  } else {
    Made.emplace_back(key, std::move(image));
  }
}

void TSharpPictures::Work() {
  std::unique_lock<std::mutex> lock(Lock);
  for (;;) {
    Wake.wait(lock, [this] { return Stopping || !Queue.empty(); });
    if (Stopping) return;
    const TSharpKey key = Queue.back();
    Queue.pop_back();
    Make(key, lock);
    if (Stopping) return;
    // Told without the lock, so that the callback may ask for more at once.
    lock.unlock();
    Done();
    lock.lock();
  }
}

}  // namespace kolbet
