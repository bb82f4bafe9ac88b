// kolbet-baselinewindow: what any full-screen Qt Widgets window costs here, as
// the floor under the game's own memory figures: a window over the whole
// screen that paints a rectangle and a text, and after two seconds prints its
// resident memory and ends.

#include <unistd.h>

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>

namespace {

class Window final : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x40, 0x20, 0x10));
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Brivlo Kolbet"));
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Window window;
  // As the game does: the whole screen also where no window manager runs.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->geometry());
  window.showFullScreen();
  QTimer::singleShot(2000, [] {
    long size = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    std::printf("resident memory: %.1f MiB\n", static_cast<double>(resident * sysconf(_SC_PAGESIZE)) / (1 << 20));
    QCoreApplication::quit();
  });
  return QApplication::exec();
}
