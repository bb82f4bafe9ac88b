#include "platform/application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "platform/error_box.h"

namespace kolbet {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()));
  // No display name of its own: Qt would append it to every caption, and the
  // captions are the game's own texts exactly ("Brivlo Kolbet [Pause]").
  setOrganizationName("DRN");
  // The program decides itself when it ends: closing the main window ends
  // it, the hidden loading window does not.
  setQuitOnLastWindowClosed(false);
  LoadQtTranslations();
}

void TApplication::LoadQtTranslations() {
  // The buttons and menus Qt itself supplies ("Cancel" in the address box)
  // read as on a German desktop, whatever the system's language; the game's
  // own texts are in dialect already. Without the translation files Qt's
  // English stays.
  auto* translator = new QTranslator(this);
  if (translator->load(QLocale(QLocale::German, QLocale::Germany), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(translator);
  else
    delete translator;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowErrorBox(activeWindow(), error.what());
  } catch (...) {
    ShowErrorBox(activeWindow(), "Unbekannter Fehler");
  }
  return true;
}

}  // namespace kolbet
