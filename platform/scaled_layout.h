#pragma once
// The window's controls are laid out in pixels of the 640 × 480 surface. The
// whole interface is shown at one scale: every control is placed at its
// surface rectangle times the scale, and draws its own contents scaled, so
// that it is sharp at the screen's resolution.

#include <QRect>
#include <QWidget>
#include <vector>

namespace kolbet {

// A surface rectangle at `scale`: both edges are rounded, so that neighbours
// that touch in surface pixels still touch on the screen.
QRect ScaleRect(const QRect& surfaceRect, double scale);

class TScaledLayout {
 public:
  // Places `widget` (a child of a control that is placed too, or of the
  // surface) at `surfaceRect` relative to its parent.
  void Place(QWidget* widget, const QRect& surfaceRect);
  // A control whose text Qt draws itself gets its font at the scale: `points`
  // at 96 dots per inch of the surface.
  void PlaceText(QWidget* widget, const QRect& surfaceRect, const QString& family, double points);
  void Apply(double scale);
  double Scale() const { return Scale_; }

 private:
  struct TEntry {
    QWidget* Widget;
    QRect Rect;
    QString Family;
    double Points = 0;
  };
  std::vector<TEntry> Entries;
  double Scale_ = 1;
};

}  // namespace kolbet
