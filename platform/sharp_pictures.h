#pragma once
// Sharp pictures for a large screen, made from the high-resolution companion
// of the graphics pack on threads of their own: a picture is decoded about
// as large as it is drawn, shrunk to exactly that size, and handed back to
// the drawing surface, which meanwhile draws kolbet.dat's picture enlarged.
// Nothing is kept here once it has been handed back.
//
// The pictures asked for are the ones on the screen, which the player looks
// at: the threads run at the window's own priority, one for each of up to
// two cores, and take the newest request first, which is the picture drawn
// last in the latest frame: the one on top (the cards over the table).

#include <QImage>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "assets/hd_pack.h"

namespace kolbet {

// A picture as the surface draws it: item, device pixels, and whether it has
// the transparent border of a picture drawn turned.
struct TSharpKey {
  int Index = 0;
  int Width = 0;
  int Height = 0;
  bool Framed = false;
  auto operator<=>(const TSharpKey&) const = default;
};

// The picture for `key` from the companion, exactly Width × Height (plus the
// border), premultiplied ARGB. DataError for a damaged stream.
QImage MakeSharpPicture(const THdPack& pack, const TSharpKey& key);

// The border a turned picture is drawn with: one transparent pixel all round,
// which smooths its edges.
QImage WithBorder(const QImage& picture);

class TSharpPictures {
 public:
  // `done` is called on a worker thread whenever pictures are ready to be
  // taken (or the companion turned out damaged); without it every picture is
  // made at once, on the caller's thread, when it is asked for. `threads`
  // workers make them (0: one for each core, at most two).
  TSharpPictures(std::shared_ptr<const THdPack> pack, std::function<void()> done, int threads = 0);
  ~TSharpPictures();
  TSharpPictures(const TSharpPictures&) = delete;
  TSharpPictures& operator=(const TSharpPictures&) = delete;

  // Asks for a picture once; asking again while it is being made does nothing.
  void Request(const TSharpKey& key);
  // Forgets the requests not yet started that are not among `wanted`: what
  // left the screen is not made any more.
  void KeepOnly(const std::set<TSharpKey>& wanted);
  // The pictures made since the last call.
  std::vector<std::pair<TSharpKey, QImage>> TakeDone();
  // The companion's error, once it has been met; nothing is made after it.
  std::string Error() const;

 private:
  void Work();
  void Make(const TSharpKey& key, std::unique_lock<std::mutex>& lock);

  std::shared_ptr<const THdPack> Pack;
  std::function<void()> Done;
  mutable std::mutex Lock;
  std::condition_variable Wake;
  std::deque<TSharpKey> Queue;  // oldest request first
  std::set<TSharpKey> Asked;  // queued or being made, not yet taken
  std::vector<std::pair<TSharpKey, QImage>> Made;
  std::string Failure;
  bool Stopping = false;
  std::vector<std::thread> Workers;
};

}  // namespace kolbet
