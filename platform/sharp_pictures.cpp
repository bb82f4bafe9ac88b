#include "platform/sharp_pictures.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

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

namespace {

// The decoded pixels as a picture without copying them: they are 0xAARRGGBB
// with straight alpha, which is QImage::Format_ARGB32 row for row, and the
// picture owns them from now on.
QImage Adopt(TPicture decoded) {
  auto* pixels = new std::vector<std::uint32_t>(std::move(decoded.Pixels));
  QImage image(reinterpret_cast<uchar*>(pixels->data()), decoded.Width, decoded.Height,
               static_cast<qsizetype>(decoded.Width) * 4, QImage::Format_ARGB32,
               [](void* owned) { delete static_cast<std::vector<std::uint32_t>*>(owned); }, pixels);
  if (image.isNull()) {
    delete pixels;
    throw std::bad_alloc();  // Qt gives a null picture when it has no memory for it
  }
  return image;
}

// Whether every pixel is either wholly there or wholly left out (0), as in
// the pictures decoded at their full size: then its straight alpha is also
// premultiplied.
bool AlphaWholeOrNothing(const QImage& image) {
  const auto* pixel = reinterpret_cast<const std::uint32_t*>(image.constBits());
  return std::all_of(pixel, pixel + static_cast<std::size_t>(image.width()) * image.height(),
                     [](std::uint32_t p) { return p >= 0xFF000000u || p == 0; });
}

}  // namespace

QImage MakeSharpPicture(const THdPack& pack, const TSharpKey& key) {
  TPicture decoded = pack.Decode(key.Index, key.Width, key.Height);
  if (decoded.Empty()) return {};
  QImage image = Adopt(std::move(decoded));
  // The formats the surface draws quickest, taken over without a copy where
  // the pixels are already in them: an opaque picture's alpha is all 0xFF.
  if (!DrawnWithKeyColour(key.Index)) {
    image.reinterpretAsFormat(QImage::Format_RGB32);
  } else if (AlphaWholeOrNothing(image)) {
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
  } else {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
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
