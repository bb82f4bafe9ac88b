#pragma once
// The controls of the window's panels, each drawn by the program itself at the
// scale the panel is shown at: blue panels, picture buttons whose faces carry
// their labels in blackletter, lettered label pictures and picture boxes.

#include <QAbstractButton>
#include <QImage>
#include <QListWidget>
#include <QSize>
#include <QWidget>
#include <functional>

namespace kolbet {

// Pure blue, the ground of every panel and button face.
inline constexpr QRgb PanelBlue = 0xFF0000FF;

// A surface size and the widget's real size give the scale it is drawn at.
double DrawScale(const QWidget& widget, QSize surfaceSize);

class TPanel final : public QWidget {
 public:
  // `bevel`: a raised edge around the panel.
  TPanel(QSize surfaceSize, bool bevel, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QSize SurfaceSize;
  bool Bevel;
};

// The label colours of a face in its four states.
enum class TFaceState { Up, Disabled, Pressed, Held };
QColor FaceInk(TFaceState state);

// Paints a button face: blue, with the label in white blackletter (pale when
// disabled, red while pressed or held), centred and as large as fits.
void PaintButtonFace(QPainter& painter, QSize surfaceSize, const QString& label, TFaceState state);

class TPictureButton final : public QAbstractButton {
 public:
  TPictureButton(const QString& label, const QString& hint, QSize surfaceSize, QWidget* parent);
  TFaceState State() const;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QSize SurfaceSize;
};

// A label picture: blackletter lettering, white on blue, centred; no action.
class TLetteredPicture final : public QWidget {
 public:
  TLetteredPicture(const QString& text, QSize surfaceSize, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString Text;
  QSize SurfaceSize;
};

// A picture box: shows the picture the source draws for the current scale (the
// source is asked again when the scale changes), and tells presses with their
// button. An empty picture shows the ground beneath.
class TPictureBox final : public QWidget {
 public:
  using Source = std::function<QImage(double scale)>;
  using Press = std::function<void(Qt::MouseButton)>;
  TPictureBox(QSize surfaceSize, QWidget* parent);
  void SetPicture(Source source);
  void OnPress(Press press) { Pressed = std::move(press); }
  // What a press with `button` does, also when it comes from a key.
  void PressWith(Qt::MouseButton button) {
    if (Pressed) Pressed(button);
  }
  bool HasPicture() const { return static_cast<bool>(Picture); }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QSize SurfaceSize;
  Source Picture;
  Press Pressed;
  QImage Cached;
  double CachedScale = 0;
};

// A list of sessions that says so in its first row when a search found none.
class TSessionList final : public QListWidget {
 public:
  explicit TSessionList(QWidget* parent) : QListWidget(parent) {}
  // The text shown while the list is empty; empty for none.
  void SetEmptyText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString EmptyText;
};

}  // namespace kolbet
