#include "platform/faces.h"

#include <QFontDatabase>
#include <QStringList>

namespace kolbet {

QString BlackletterFamily() {
  static const QString family = [] {
    const int id = QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/blankenburg/Blankenburg_UNZ1A.ttf");
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString("serif") : families.front();
  }();
  return family;
}

QFont BlackletterFont(double pixels) {
  QFont font(BlackletterFamily());
  font.setPixelSize(std::max(1, qRound(pixels)));
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QFont ArialFont(double points, double scale) {
  QFont font("Arial");
  font.setPixelSize(std::max(1, qRound(points * 96.0 / 72.0 * scale)));
  return font;
}

}  // namespace kolbet
