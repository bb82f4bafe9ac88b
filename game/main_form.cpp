#include "game/main_form.h"

#include "assets/data_error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "assets/mug_art.h"
#include "game/dxdraw.h"
#include "game/form_keys.h"
#include "game/phase_machine.h"
#include "game/pointer_input.h"
#include "game/screen_reader.h"
#include "game/spoken_lines.h"
#include "game/table_access.h"
#include "net/session_service.h"
#include "platform/error_box.h"
#include "platform/faces.h"
#include "platform/openal_sound_device.h"
#include "platform/picture_controls.h"
#include "platform/qt_draw_surface.h"

namespace kolbet {

namespace {

// The rules page beside the data files, opened by its bare name.
constexpr const char* RulesPage = "Kolbet.html";

// The longest a frame waits for the display: one refresh.
int RefreshInterval(const QWidget& widget) {
  const QScreen* screen = widget.screen();
  const double rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
  return static_cast<int>(std::lround(1000.0 / rate));
}

// Whether `object` is the form or lies inside it, popups of its controls
// included; dialogs such as the error box take their own keys.
bool InsideForm(const QObject* object, const QWidget* form) {
  for (const QObject* o = object; o; o = o->parent()) {
    if (o == form) return true;
    if (o->inherits("QDialog")) return false;
  }
  return false;
}

}  // namespace

TMainForm::TMainForm(const QStringList& arguments, TMainFormSeams seams) : Seams(std::move(seams)) {
  InstallAccessibleElements();
  setWindowTitle(QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()));
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  resize(SurfaceWidth, SurfaceHeight);

  DXDraw = new TDXDraw(this);
  DXDraw->MouseDown = [this](Qt::MouseButton b, int x, int y) { Handle([this, b, x, y] { DXDrawMouseDown(b, x, y); }); };
  DXDraw->MouseMove = [this](int x, int y) { Handle([this, x, y] { DXDrawMouseMove(x, y); }); };
  DXDraw->PicturesChanged = [this](const std::string& error) {
    Handle([this, error] {
      Game.Table.NeedsRedraw = true;
      if (!error.empty()) throw DataError(error);
    });
  };
  // A new size starts the surface anew, black, for the next frame; during a
  // wait the last frame stays.
  DXDraw->Resized = [this] {
    if (FrameTimerEnabled)
      Handle([this] {
        if (FrameTimerEnabled) DXDrawInitialize();
      });
  };
  BuildMenuPanels();
  BuildOptionsPanel();
  BuildLobbyPanel();
  BuildChatMenu();
  Keys = std::make_unique<TFormKeys>(*this);
  Reader = std::make_unique<TScreenReader>(*this);
  NameControls(*this);

  DXTimer.setSingleShot(true);
  DXTimer.setTimerType(Qt::PreciseTimer);
  connect(&DXTimer, &QTimer::timeout, this, [this] { Handle([this] { DXTimerTimer(); }); });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    Handle([this, state] { state == Qt::ApplicationActive ? DXTimerActivate() : DXTimerDeactivate(); });
  });
  qApp->installEventFilter(this);

  // The sound device starts with the window; without one the game runs silent.
  std::unique_ptr<SoundDevice> device = std::move(Seams.Device);
  if (!device && Seams.OpenDevice) device = OpenSoundDevice();
  Saunds = std::make_unique<TSoundBank>(std::move(device), &WallClock);
  Game.Clock = Seams.Clock ? Seams.Clock : &WallClock;
  Game.Frame = [this] {
    ForceFrame();
    Reader->TableSeen(Keys->ShownSlot());
  };
  Game.Line = [this](std::string_view line) {
    SpokenLine = line;
    Game.Table.NeedsRedraw = true;
  };

  // The session component: the game's own port, unless the headless checks
  // name another one in KOLBET_PORT.
  TSessionSettings session;
  session.Port = PortFromEnvironment();
  session.Clock = &WallClock;
  DXPlay1 = std::make_unique<TDXPlay>(session);
  // What arrives waits in the service while a handler waits, and is handed
  // over afterwards, in its turn among the other handlers.
  DXPlay1->OnArrival = [this](std::function<void()> drain) { Handle(std::move(drain)); };
  DXPlay1->OnAddPlayer = [this](TDXPlay&, const TDXPlayPlayer&) { Handle([this] { DXPlay1AddPlayer(); }); };
  DXPlay1->OnDeletePlayer = [this](TDXPlay&, const TDXPlayPlayer&) { Handle([this] { DXPlay1DeletePlayer(); }); };
  DXPlay1->OnMessage = [this](TDXPlay&, const TDXPlayPlayer&, const std::uint8_t* data, std::size_t size) {
    Handle([this, bytes = std::vector<std::uint8_t>(data, data + size)] { DXPlay1Message(bytes.data(), bytes.size()); });
  };
  DXPlay1->OnError = [this](const std::exception& error) { ShowErrorBox(this, error.what()); };
  Game.Session = DXPlay1.get();

  FormCreate(arguments);
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  // Leaving the session at the end waits without serving a window that is going.
  WallClock.StopServing();
  Game.Session = nullptr;
  DXPlay1.reset();
}

void TMainForm::Handle(std::function<void()> handler) {
  // Nothing of the game runs inside a wait: what comes meanwhile (a timer, a
  // message of the peer, a button pressed through the accessibility bus)
  // waits its turn.
  if (WallClock.Waiting()) {
    Later.push_back(std::move(handler));
    return;
  }
  const unsigned waits = Game.Waits;
  const unsigned held = WallClock.Waits();
  RunOne(handler);
  // Once the handler that waited has returned, what came meanwhile runs in
  // the order it came, each in full; what comes during their waits joins the
  // end of the line.
  if (WallClock.Waits() != held && !RunningLater) {
    RunningLater = true;
    while (!Later.empty()) {
      const std::function<void()> next = std::move(Later.front());
      Later.pop_front();
      RunOne(next);
    }
    RunningLater = false;
  }
  // Then the player's input the window system kept meanwhile.
  if (Game.Waits != waits && !Draining && !RunningLater) DropPressesMadeWhileWaiting();
}

void TMainForm::RunOne(const std::function<void()>& handler) {
  RunHandler(this, handler);
  if (HintOutdated(Game.Table)) DXDraw->SetHint(false, QString());
  if (Keys) Keys->AfterHandler();
  RequestFrame();
}

void TMainForm::DropPressesMadeWhileWaiting() {
  // While a pause or a sound held the handler, the window system kept what
  // the player did. A press on the table made then was aimed at a table that
  // has changed since (the trick taken, the next card spoken), so it is
  // dropped; every other event queued meanwhile is handled now, in order.
  // A handler run from here that waits again drops its presses as well.
  Draining = true;
  unsigned waits = 0;
  do {
    waits = Game.Waits;
    QCoreApplication::processEvents();
  } while (Game.Waits != waits);
  Draining = false;
}

TSoundBank* TMainForm::LiveBank() { return SoundBankLoaded ? Saunds.get() : nullptr; }

// ---- panels ----

TPictureButton* TMainForm::PlaceButton(QWidget* panel, const char* label, const char* hint, QRect at,
                                       void (TMainForm::*click)()) {
  auto* b = new TPictureButton(QString::fromUtf8(label), QString::fromUtf8(hint), at.size(), panel);
  Layout.Place(b, at);
  connect(b, &QAbstractButton::clicked, this, [this, click] { Handle([this, click] { (this->*click)(); }); });
  return b;
}

void TMainForm::BuildMenuPanels() {
  const auto button = [this](QWidget* panel, const char* label, const char* hint, QRect at,
                             void (TMainForm::*click)()) { return PlaceButton(panel, label, hint, at, click); };
  Panel3 = new TPanel(QSize(393, 49), true, DXDraw);
  Layout.Place(Panel3, QRect(128, 352, 393, 49));
  Button1 = button(Panel3, "Nei's Spuell", "Fong endlich oh!", QRect(8, 8, 95, 35), &TMainForm::Button1Click);
  Button3 = button(Panel3, "Stommdisch", "Aaf zum Schdommdiesch", QRect(112, 8, 95, 35), &TMainForm::Button3Click);
  Button5 = button(Panel3, "Optiona", "Dau konnst wos ei'stölln", QRect(216, 8, 81, 35), &TMainForm::Button5Click);
  Button2x = button(Panel3, "Her Aaf", "I moch nimma", QRect(304, 8, 81, 35), &TMainForm::Button2xClick);

  Panel4 = new TPanel(QSize(137, 25), false, DXDraw);
  Layout.Place(Panel4, QRect(496, 456, 137, 25));
  SpeedButton1 = button(Panel4, "Zruck", "I moch wos onderschts mocha", QRect(0, 0, 65, 22), &TMainForm::Button4Click);
  SpeedButton2 = button(Panel4, "Her Aaf", "I moch nimma", QRect(72, 0, 65, 22), &TMainForm::Button2xClick);
  Panel4->hide();
}

// ---- scale and full screen ----

double TMainForm::WindowedScale() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return 1;
  const QRect room = s->availableGeometry();
  // Room for the border and caption the window system adds.
  const QMargins frame = frameGeometry().size() != size() && !isFullScreen()
                             ? QMargins(geometry().left() - frameGeometry().left(),
                                        geometry().top() - frameGeometry().top(),
                                        frameGeometry().right() - geometry().right(),
                                        frameGeometry().bottom() - geometry().bottom())
                             : QMargins(4, 30, 4, 4);
  const double fit = std::min((room.width() - frame.left() - frame.right()) / double(SurfaceWidth),
                              (room.height() - frame.top() - frame.bottom()) / double(SurfaceHeight));
  // Quarter steps keep the surface's pixels evenly spread.
  return std::max(0.5, std::floor(fit * 4) / 4);
}

void TMainForm::LayOut() {
  // The surface fills the window with its proportions kept; black bars where
  // the window is wider or taller.
  const double scale = std::min(width() / double(SurfaceWidth), height() / double(SurfaceHeight));
  const int w = static_cast<int>(std::lround(SurfaceWidth * scale));
  const int h = static_cast<int>(std::lround(SurfaceHeight * scale));
  DXDraw->setGeometry((width() - w) / 2, (height() - h) / 2, w, h);
  Layout.Apply(scale);
  QFont hintFont = QToolTip::font();
  hintFont.setPixelSize(std::max(11, static_cast<int>(std::lround(11 * scale))));
  QToolTip::setFont(hintFont);
  QFont menuFont = PopupMenu1->font();
  menuFont.setPixelSize(std::max(12, static_cast<int>(std::lround(12 * scale))));
  PopupMenu1->setFont(menuFont);
  for (QMenu* sub : PopupMenu1->findChildren<QMenu*>()) sub->setFont(menuFont);
  // The table cursor grows with the surface, its hot spot staying at the top left.
  const double cursorScale = std::max(1.0, std::round(scale * 2) / 2);
  if (cursorScale != CursorScale) {
    CursorScale = cursorScale;
    QPixmap mug = QPixmap::fromImage(TableCursorPicture(cursorScale * devicePixelRatioF()));
    mug.setDevicePixelRatio(devicePixelRatioF());
    TableCursor = QCursor(mug, 0, 0);
    if (!HandPointerShown) DXDraw->setCursor(TableCursor);
  }
}

void TMainForm::resizeEvent(QResizeEvent*) { LayOut(); }

void TMainForm::ShowGame() {
  DXDraw->MakePictures(Koartn);
  // The surface keeps its own copy; the decoded pack is not needed twice.
  Koartn = {};
  EnterFullScreen();
  Shown = true;
  LayOut();
  DXDrawInitialize();
  // The title is drawn before the window is first painted, so that the
  // first paint shows it rather than a black surface.
  DrawFrame(false);
  activateWindow();
  raise();
}

void TMainForm::EnterFullScreen() {
  // The whole screen also where no window manager takes the request, as on a
  // bare X server; the display mode stays as it is.
  if (const QScreen* s = screen()) setGeometry(s->geometry());
  showFullScreen();
}

void TMainForm::ToggleFullScreen() {
  DXDrawFinalize();
  if (isFullScreen()) {
    showNormal();
    if (!SavedPlacement.isEmpty()) restoreGeometry(SavedPlacement);
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    const double scale = WindowedScale();
    resize(static_cast<int>(std::lround(SurfaceWidth * scale)), static_cast<int>(std::lround(SurfaceHeight * scale)));
  } else {
    SavedPlacement = saveGeometry();
    EnterFullScreen();
  }
  LayOut();
  DXDrawInitialize();
  activateWindow();
}

// ---- the drawing surface and the frame handler ----

void TMainForm::DXDrawInitialize() {
  DXDraw->StartSurface();
  Game.Table.NeedsRedraw = true;
  FrameTimerEnabled = true;
  RequestFrame();
}

void TMainForm::DXDrawFinalize() {
  FrameTimerEnabled = false;
  DXTimer.stop();
  DXDraw->StopSurface();
}

void TMainForm::RequestFrame() {
  if (!FrameTimerEnabled || !Active || !Game.Table.NeedsRedraw || DXTimer.isActive()) return;
  // At most one frame per display refresh; at once when the last is older.
  const qint64 since = SinceLastFrame.isValid() ? SinceLastFrame.elapsed() : 1000;
  DXTimer.start(static_cast<int>(std::max<qint64>(0, RefreshInterval(*this) - since)));
}

void TMainForm::DrawFrame(bool presentNow) {
  if (!DXDraw->Usable() || !Game.Table.NeedsRedraw) return;
  Game.Table.NeedsRedraw = false;
  // Also inside a handler, before its pauses: a new deal takes the old name.
  if (HintOutdated(Game.Table)) DXDraw->SetHint(false, QString());
  DXDraw->Surface()->Draw(Game.Table, SpokenLineShown());
  DXDraw->FrameDrawn();
  if (++Frames == 1 && qEnvironmentVariableIsSet("KOLBET_REPORT_FIRST_FRAME"))
    std::fprintf(stderr, "first-frame %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
  SinceLastFrame.start();
  // A forced frame is shown before the handler goes on (into a pause or a
  // waited sound); the timer's frame is shown at the next paint.
  if (presentNow)
    DXDraw->repaint();
  else
    DXDraw->update();
}

std::string_view TMainForm::SpokenLineShown() const {
  const int phase = Game.Table.Phase;
  if (phase == PhaseTitle || phase == PhaseWaitPeer) return {};
  if (!SpokenLine.empty()) return SpokenLine;
  return phase == PhaseNetWait ? WaitingLine : std::string_view();
}

void TMainForm::DXTimerTimer() { DrawFrame(false); }

void TMainForm::ForceFrame() {
  Game.Table.NeedsRedraw = true;
  DrawFrame(true);
}

void TMainForm::DXTimerActivate() {
  setWindowTitle(QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()));
  Active = true;
  Game.Table.NeedsRedraw = true;
}

void TMainForm::DXTimerDeactivate() {
  setWindowTitle(QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()) + " [Pause]");
  Active = false;
  DXTimer.stop();
  Game.Table.NeedsRedraw = true;
}

// ---- pointer and keys ----

void TMainForm::DXDrawMouseDown(Qt::MouseButton, int x, int y) {
  if (PointerPressed(Game, x, y)) OpenRulesPage();
}

void TMainForm::OpenRulesPage() {
  // Full screen is left for the browser only once the desktop took the page;
  // where nothing can open it the player is told and the game stays as it is.
  const QUrl page = QUrl::fromLocalFile(QDir::current().absoluteFilePath(RulesPage));
  const bool opened = Seams.OpenUrl ? Seams.OpenUrl(page) : QDesktopServices::openUrl(page);
  if (!opened) {
    ShowErrorBox(this, std::string("Datei ") + RulesPage + " kann nicht geöffnet werden");
    return;
  }
  if (isFullScreen()) ToggleFullScreen();
}

void TMainForm::DXDrawMouseMove(int x, int y) {
  const TPointerLook look = PointerMoved(Game.Table, x, y);
  DXDraw->SetHint(look.HintShown, look.HintTextChanged ? QString::fromStdString(look.HintText) : DXDraw->HintText());
  HandPointerShown = look.HandPointer;
  DXDraw->setCursor(look.HandPointer ? QCursor(Qt::PointingHandCursor) : TableCursor);
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  Game.Table.NeedsRedraw = true;
  if (key == Qt::Key_Escape) {
    // An open drop-down list or menu takes Escape itself and closes.
    if (QApplication::activePopupWidget()) return false;
    close();
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (shift & Qt::AltModifier)) {
    ToggleFullScreen();
    return true;
  }
  return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // During a wait the window system keeps the player's input for afterwards;
  // a press or key sent straight to the window then is dropped.
  if (WallClock.Waiting() && InsideForm(watched, this) &&
      (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress ||
       event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::ContextMenu))
    return true;
  if (Draining && watched == DXDraw &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick ||
       event->type() == QEvent::ContextMenu))
    return true;
  // Keys that would move at the table are dropped the same way.
  if (Draining && Shown && InsideForm(watched, this) && Keys->IsTableKeyPress(event)) return true;
  // The form sees every key before its controls do.
  if (event->type() == QEvent::KeyPress && Shown && InsideForm(watched, this)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    bool own = false;
    Handle([&] { own = FormKeyDown(key->key(), key->modifiers()); });
    return own || Keys->KeyDown(*key);
  }
  if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove) && InsideForm(watched, this))
    Keys->PointerUsed(event);
  return QWidget::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  event->accept();
  FormClose();
}

void TMainForm::FormClose() {
  // Nothing is saved and nobody is asked: the process ends.
  QCoreApplication::exit(0);
}

// ---- menu and game bar ----

void TMainForm::Button1Click() {
  StartSingleGame(Game);
  Panel3->hide();
  Panel4->show();
  Game.Table.NeedsRedraw = true;
}

void TMainForm::Button2xClick() {
  Game.Table.NeedsRedraw = true;
  close();
}

void TMainForm::Button4Click() {
  AttachChatMenu(false);
  BackToMenu(Game);
  Panel3->show();
  Panel4->hide();
}

}  // namespace kolbet
