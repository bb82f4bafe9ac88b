#pragma once
// The faces the generator letters with, loaded from the Debian font packages'
// files so that the result does not depend on the fontconfig setup.

#include <QString>

namespace kolbet::mkdata {

struct Fonts {
  QString blackletter;  // fonts-blankenburg
  QString sans;         // fonts-liberation2, Liberation Sans
};

// Registers the font files with the application; throws std::runtime_error
// naming the missing file and package.
Fonts LoadFonts();

}  // namespace kolbet::mkdata
