#include "tools/mkdata/fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <stdexcept>

namespace kolbet::mkdata {
namespace {

QString Register(const char* path, const char* package) {
  const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(path));
  const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
  if (families.isEmpty())
    throw std::runtime_error(std::string("font ") + path + " missing or unreadable (Debian package " + package +
                             ")");
  return families.front();
}

}  // namespace

Fonts LoadFonts() {
  Fonts f;
  f.blackletter = Register("/usr/share/fonts/truetype/blankenburg/Blankenburg_UNZ1A.ttf", "fonts-blankenburg");
  f.sans = Register("/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf", "fonts-liberation2");
  return f;
}

}  // namespace kolbet::mkdata
