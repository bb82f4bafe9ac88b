#pragma once
// The main window `TMainForm`: it owns the table, the drawing surface, the
// image list, the sound bank, the music list and the panels for the life of
// the process, and turns the window system's events into the game's handlers.
// The handlers call into the game core; no rule of the game lives here.

#include <QByteArray>
#include <QCursor>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "assets/music_list.h"
#include "assets/picture.h"
#include "assets/settings.h"
#include "assets/sound_bank.h"
#include "game/game.h"
#include "game/window_clock.h"
#include "platform/scaled_layout.h"

class QComboBox;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;

namespace kolbet {

class TDXDraw;
class TDXPlay;
class TFormKeys;
class TPanel;
class TPictureBox;
class TPictureButton;
class TScreenReader;
class TSessionList;

// What the window takes from outside; tests replace the parts that would make
// it wait, sound or open a browser.
struct TMainFormSeams {
  std::unique_ptr<SoundDevice> Device;          // the sound device; none: the game runs silent
  bool OpenDevice = true;                       // without a given device, open the real one
  SoundPort* Sound = nullptr;                   // replaces the bank's sounds in the game (tests)
  ClockPort* Clock = nullptr;                   // replaces the wall clock (tests)
  std::function<bool(const QUrl&)> OpenUrl;     // replaces the desktop's browser; false: nothing opened
  // Replaces the address input box: the typed text, or nothing when cancelled.
  std::function<std::optional<QString>()> AskAddress;
};

class TMainForm final : public QWidget {
 public:
  // Every wait of the handlers (a pause, a sound to its end, the session's
  // search, join and leave); first, so that it outlives all that waits through it.
  TWindowClock WallClock;

  TMainForm(const QStringList& arguments, TMainFormSeams seams = {});
  ~TMainForm() override;

  // Start-up and ending.
  void FormCreate(const QStringList& arguments);
  void FormClose();
  // Shows the main window on the title, full screen, once the pictures are read.
  void ShowGame();

  // The drawing surface and the frame handler.
  void DXDrawInitialize();
  void DXDrawFinalize();
  void DXTimerTimer();
  void DXTimerActivate();
  void DXTimerDeactivate();
  void ForceFrame();

  // Pointer and keys.
  void DXDrawMouseDown(Qt::MouseButton button, int x, int y);
  void DXDrawMouseMove(int x, int y);
  // The title corner's press and F1: the rules page in the browser.
  void OpenRulesPage();
  // True when the key was the program's own (Escape, Alt+Enter).
  bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void ToggleFullScreen();
  void EnterFullScreen();

  // The buttons of the menu, the game bar and the options panel.
  void Button1Click();
  void Button2xClick();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Image2MouseDown(Qt::MouseButton button);
  void Image3MouseDown(Qt::MouseButton button);
  void Image4MouseDown(Qt::MouseButton button);
  void Image7MouseDown(Qt::MouseButton button);
  void DmusiChange(int index);
  void ShowStats();

  // The lobby and the session.
  void Button7Click();
  void Button8Click();
  void Button9Click();
  void Button10Click();
  void Button11Click();
  void SessionListBoxClick();
  void NomerChange();
  void DXPlay1AddPlayer();
  void DXPlay1DeletePlayer();
  void DXPlay1Message(const std::uint8_t* data, std::size_t size);
  // The chat menu: attached to the table in a network game only.
  void AttachChatMenu(bool attached);
  void PopupMenu1Popup(QAction* item);

  // Runs a handler: an error is shown in the error box and ends the handler;
  // afterwards a hint naming a card no longer under the pointer goes, and the
  // next frame is asked for when the table needs drawing. A handler that
  // comes while another waits is kept, with the data it owns, and run after
  // that one in the order they came; then, when the handlers waited (a pause,
  // a sound to its end), the presses on the table that the window system kept
  // meanwhile are dropped.
  void Handle(std::function<void()> handler);

  // The components, open to the tests as the window layout is to the program.
  TGame Game;
  // The pictures of kolbet.dat until the drawing surface has taken them over.
  TImageList Koartn;
  std::unique_ptr<TSoundBank> Saunds;
  bool SoundBankLoaded = false;  // false: the bank could not be read and the game runs silent
  TMusicList DmusiList;
  TOptionsLoaded OptionsLoaded;  // the settings as the start read them, for the save
  QLineEdit* Nomer = nullptr;    // the player's name
  TDXDraw* DXDraw = nullptr;
  TPanel* Panel1 = nullptr;      // options
  TPanel* Panel3 = nullptr;      // menu
  TPanel* Panel4 = nullptr;      // game bar
  TPictureButton* Button1 = nullptr;
  TPictureButton* Button3 = nullptr;
  TPictureButton* Button5 = nullptr;
  TPictureButton* Button2x = nullptr;
  TPictureButton* SpeedButton1 = nullptr;
  TPictureButton* SpeedButton2 = nullptr;
  TPictureButton* Button6 = nullptr;
  TPictureBox* Image2 = nullptr;  // music level
  TPictureBox* Image3 = nullptr;  // sound level
  TPictureBox* Image4 = nullptr;  // computer strength
  TPictureBox* Image7 = nullptr;  // first-trick rule
  QComboBox* Dmusi = nullptr;
  TPanel* Panel2 = nullptr;      // lobby
  TSessionList* SessionListBox = nullptr;
  QLabel* Label7 = nullptr;      // the host address, or "Is wurscht"
  TPictureButton* Button7 = nullptr;
  TPictureButton* Button8 = nullptr;
  TPictureButton* Button9 = nullptr;
  TPictureButton* Button10 = nullptr;
  TPictureButton* Button11 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  bool ChatMenuAttached = false;
  std::unique_ptr<TDXPlay> DXPlay1;
  QCursor TableCursor;
  // The keys beyond Escape and Alt+Enter: panel focus, key selection at the table.
  std::unique_ptr<TFormKeys> Keys;
  // What the screen reader is told beyond the focus: the table's news and more.
  std::unique_ptr<TScreenReader> Reader;

  // Full screen, or a window whose client area is the surface at `scale`.
  bool FullScreen() const { return isFullScreen(); }
  double WindowedScale() const;
  int FramesDrawn() const { return Frames; }
  // The spoken line the table shows now, if any.
  std::string_view SpokenLineShown() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  // A picture button on a panel whose click runs `click` as a handler.
  TPictureButton* PlaceButton(QWidget* panel, const char* label, const char* hint, QRect at,
                              void (TMainForm::*click)());
  void BuildMenuPanels();
  void BuildOptionsPanel();
  void BuildLobbyPanel();
  void BuildChatMenu();
  void SessionOpened();
  void LayOut();
  void RequestFrame();
  void DrawFrame(bool presentNow);
  TSoundBank* LiveBank();
  void RunOne(const std::function<void()>& handler);
  void DropPressesMadeWhileWaiting();

  TMainFormSeams Seams;
  TScaledLayout Layout;
  QTimer DXTimer;
  QElapsedTimer SinceLastFrame;
  bool FrameTimerEnabled = false;
  bool Active = false;
  bool Shown = false;
  int Frames = 0;
  QByteArray SavedPlacement;
  double CursorScale = 0;
  bool HandPointerShown = false;
  bool Draining = false;  // presses on the table are being dropped
  std::deque<std::function<void()>> Later;  // handlers that came during a wait, in order
  bool RunningLater = false;
  std::string SpokenLine;  // from the game's last line, until it takes it away
};

}  // namespace kolbet
