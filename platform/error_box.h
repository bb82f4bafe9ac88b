#pragma once
// The program's error box: a message box titled "Brivlo Kolbet" with the error
// icon and an OK button, showing the text of an error that ended a handler.

#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace kolbet {

inline constexpr std::string_view ApplicationTitle = "Brivlo Kolbet";

// The text as the box shows it: a full stop is added when the code of the
// text's last character is above that of the full stop, so "... geöffnet
// werden" gets one and "... Maximum (7)" or "... für 'Skill'" do not.
std::string ErrorBoxText(std::string_view text);

// Shows the box and returns when the player has pressed OK. Tests replace it
// with one that only writes the text down.
using ErrorBoxFunction = std::function<void(QWidget* parent, const std::string& text)>;
void ShowErrorBox(QWidget* parent, const std::string& text);
void SetErrorBox(ErrorBoxFunction box);

// The program's other message box: the same title, an OK button, no icon.
using MessageBoxFunction = std::function<void(QWidget* parent, const std::string& text)>;
void ShowMessage(QWidget* parent, const std::string& text);
void SetMessageBox(MessageBoxFunction box);

// Runs one handler of the program; an error that escapes it is shown in the
// error box, the rest of the handler is skipped and the program goes on.
// Returns false when the handler ended in an error.
bool RunHandler(QWidget* parent, const std::function<void()>& handler);

}  // namespace kolbet
