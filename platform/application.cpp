#include "platform/application.h"

#include <exception>

#include "platform/error_box.h"

namespace kolbet {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()));
  setApplicationDisplayName(applicationName());
  setOrganizationName("DRN");
  // The program decides itself when it ends: closing the main window ends
  // it, the hidden loading window does not.
  setQuitOnLastWindowClosed(false);
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
