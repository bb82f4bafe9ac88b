#include "platform/error_box.h"

#include <QMessageBox>
#include <QString>
#include <exception>

namespace kolbet {

namespace {

ErrorBoxFunction& Box() {
  static ErrorBoxFunction box;
  return box;
}

MessageBoxFunction& Message() {
  static MessageBoxFunction box;
  return box;
}

void MessageBox(QWidget* parent, const std::string& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()),
                  QString::fromStdString(text), QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace

std::string ErrorBoxText(std::string_view text) {
  std::string shown(text);
  // The last character's code, read from its UTF-8 bytes: any character
  // beyond ASCII lies above the full stop too.
  if (!shown.empty()) {
    const auto last = static_cast<unsigned char>(shown.back());
    if (last >= 0x80 || last > '.') shown += '.';
  }
  return shown;
}

void ShowErrorBox(QWidget* parent, const std::string& text) {
  const std::string shown = ErrorBoxText(text);
  if (Box())
    Box()(parent, shown);
  else
    MessageBox(parent, shown, QMessageBox::Critical);
}

void ShowMessage(QWidget* parent, const std::string& text) {
  if (Message())
    Message()(parent, text);
  else
    MessageBox(parent, text, QMessageBox::NoIcon);
}

void SetMessageBox(MessageBoxFunction box) { Message() = std::move(box); }

void SetErrorBox(ErrorBoxFunction box) { Box() = std::move(box); }

bool RunHandler(QWidget* parent, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    ShowErrorBox(parent, error.what());
  } catch (...) {
    ShowErrorBox(parent, "Unbekannter Fehler");
  }
  return false;
}

}  // namespace kolbet
