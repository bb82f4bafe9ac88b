#include "platform/scaled_layout.h"

#include <QFont>
#include <cmath>

namespace kolbet {

QRect ScaleRect(const QRect& surfaceRect, double scale) {
  const int left = static_cast<int>(std::lround(surfaceRect.x() * scale));
  const int top = static_cast<int>(std::lround(surfaceRect.y() * scale));
  const int right = static_cast<int>(std::lround((surfaceRect.x() + surfaceRect.width()) * scale));
  const int bottom = static_cast<int>(std::lround((surfaceRect.y() + surfaceRect.height()) * scale));
  return QRect(left, top, right - left, bottom - top);
}

void TScaledLayout::Place(QWidget* widget, const QRect& surfaceRect) {
  Entries.push_back({widget, surfaceRect, {}, 0});
  widget->setGeometry(ScaleRect(surfaceRect, Scale_));
}

void TScaledLayout::PlaceText(QWidget* widget, const QRect& surfaceRect, const QString& family, double points) {
  Entries.push_back({widget, surfaceRect, family, points});
  Apply(Scale_);
}

void TScaledLayout::Apply(double scale) {
  Scale_ = scale;
  for (const TEntry& e : Entries) {
    e.Widget->setGeometry(ScaleRect(e.Rect, scale));
    if (e.Points > 0) {
      QFont font(e.Family);
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(e.Points * 96.0 / 72.0 * scale))));
      e.Widget->setFont(font);
    }
  }
}

}  // namespace kolbet
