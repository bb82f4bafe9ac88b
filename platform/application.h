#pragma once
// The application object: the event loop of the program. An error that escapes
// a handler is caught here, where the event is dispatched, and shown in the
// error box; the program goes on with the next event.

#include <QApplication>

namespace kolbet {

class TApplication final : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void LoadQtTranslations();
};

}  // namespace kolbet
