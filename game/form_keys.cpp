#include "game/form_keys.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <algorithm>

#include "game/dxdraw.h"
#include "game/main_form.h"
#include "game/phase_machine.h"
#include "game/screen_reader.h"
#include "platform/picture_controls.h"

namespace kolbet {

namespace {

bool IsControl(const QWidget* w) {
  return dynamic_cast<const TPictureButton*>(w) || dynamic_cast<const TPictureBox*>(w) ||
         w->inherits("QComboBox") || w->inherits("QListWidget") || w->inherits("QLineEdit");
}

// Reaches a list's handler of its viewport's events, which Qt keeps protected.
struct TViewportPainter : QAbstractScrollArea {
  static void Paint(QAbstractScrollArea& area, QEvent* event) { (area.*(&TViewportPainter::viewportEvent))(event); }
};

bool IsPress(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space; }

}  // namespace

TFormKeys::TFormKeys(TMainForm& form) : Form(form) {
  Form.DXDraw->KeyMarks = [this] {
    return TDXDraw::TKeyMarks{ShownSlot(), Form.Game.Table.PlayerSeat.Hand, Marked == Form.DXDraw && MarkedControl()};
  };
  // The buttons and level pictures can take the focus from Tab only, never
  // from the pointer, so a press with the pointer leaves the focus alone.
  for (QWidget* panel : {static_cast<QWidget*>(Form.Panel3), static_cast<QWidget*>(Form.Panel1),
                         static_cast<QWidget*>(Form.Panel2), static_cast<QWidget*>(Form.Panel4)})
    for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (dynamic_cast<TPictureButton*>(w) || dynamic_cast<TPictureBox*>(w)) w->setFocusPolicy(Qt::TabFocus);
}

TFormKeys::~TFormKeys() { Form.DXDraw->KeyMarks = nullptr; }

int TFormKeys::ShownSlot() const { return kolbet::ShownSlot(Form.Game.Table, Selection); }

std::vector<QWidget*> TFormKeys::Chain() const {
  std::vector<QWidget*> chain;
  if (TableTakesKeys(Form.Game.Table.Phase)) chain.push_back(Form.DXDraw);
  for (QWidget* panel : {static_cast<QWidget*>(Form.Panel3), static_cast<QWidget*>(Form.Panel1),
                         static_cast<QWidget*>(Form.Panel2), static_cast<QWidget*>(Form.Panel4)}) {
    if (!panel->isVisible()) continue;
    for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (IsControl(w) && w->isVisible() && w->isEnabled()) chain.push_back(w);
  }
  return chain;
}

QWidget* TFormKeys::MarkedControl() const {
  if (!Marked) return nullptr;
  const std::vector<QWidget*> chain = Chain();
  return std::find(chain.begin(), chain.end(), Marked.data()) != chain.end() ? Marked.data() : nullptr;
}

QWidget* TFormKeys::PaintTarget(QWidget* control) const {
  // A list paints its rows on its viewport, which covers all but its border.
  if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) return area->viewport();
  return control;
}

void TFormKeys::Mark(QWidget* control) {
  if (Painted) {
    Painted->removeEventFilter(this);
    Painted->update();
  }
  Marked = control;
  Painted = control && control != Form.DXDraw ? PaintTarget(control) : nullptr;
  if (Painted) {
    Painted->installEventFilter(this);
    Painted->update();
  }
  if (control) control->setFocus(Qt::TabFocusReason);
  Form.DXDraw->update();
}

void TFormKeys::MoveMark(int step) {
  const std::vector<QWidget*> chain = Chain();
  if (chain.empty()) return;
  const int n = static_cast<int>(chain.size());
  // With no mark, an edit box, list or drop-down the pointer put the focus in
  // is where Tab starts from.
  QWidget* from = MarkedControl();
  if (QWidget* focus = QApplication::focusWidget(); !from && focus && IsControl(focus) &&
                                                    !dynamic_cast<TPictureButton*>(focus) &&
                                                    !dynamic_cast<TPictureBox*>(focus))
    from = focus;
  const auto found = std::find(chain.begin(), chain.end(), from);
  // With no mark the table counts as marked while it takes keys.
  int at = found != chain.end() ? static_cast<int>(found - chain.begin()) : (chain.front() == Form.DXDraw ? 0 : -1);
  at = at < 0 ? (step > 0 ? 0 : n - 1) : ((at + step) % n + n) % n;
  Mark(chain[at]);
}

std::optional<TTableKey> TFormKeys::TableKeyOf(const QKeyEvent& key) const {
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
  const int code = key.key();
  if (code == Qt::Key_Left) return TTableKey::Previous;
  if (code == Qt::Key_Right) return TTableKey::Next;
  if (code >= Qt::Key_1 && code <= Qt::Key_5)
    return static_cast<TTableKey>(static_cast<int>(TTableKey::Card1) + (code - Qt::Key_1));
  if (IsPress(code)) return TTableKey::Play;
  return std::nullopt;
}

bool TFormKeys::KeyOnControl(QWidget* control, const QKeyEvent& key) {
  const int code = key.key();
  if (auto* button = dynamic_cast<TPictureButton*>(control)) {
    if (!IsPress(code)) return false;
    button->click();
    return true;
  }
  if (auto* level = dynamic_cast<TPictureBox*>(control)) {
    // Left is the right button (softer, worse), Right and the press keys the left one.
    if (code == Qt::Key_Left)
      level->PressWith(Qt::RightButton);
    else if (code == Qt::Key_Right || IsPress(code))
      level->PressWith(Qt::LeftButton);
    else
      return false;
    return true;
  }
  return false;
}

bool TFormKeys::KeyDown(const QKeyEvent& key) {
  // An open drop-down list or menu takes its own keys.
  if (QApplication::activePopupWidget()) return false;
  const int code = key.key();
  if (code == Qt::Key_F1) {
    Form.Handle([&] { Form.OpenRulesPage(); });
    return true;
  }
  if (code == Qt::Key_Tab || code == Qt::Key_Backtab) {
    MoveMark(code == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier) ? -1 : 1);
    return true;
  }
  QWidget* control = MarkedControl();
  const bool table = TableTakesKeys(Form.Game.Table.Phase);
  if (!control && !table) {
    // Before any mark, the control the window gave the focus to by itself,
    // which a screen reader has announced.
    const std::vector<QWidget*> chain = Chain();
    QWidget* focus = QApplication::focusWidget();
    if (std::find(chain.begin(), chain.end(), focus) != chain.end() && IsControl(focus)) control = focus;
  }
  if (control && control != Form.DXDraw) {
    const bool own = dynamic_cast<TPictureButton*>(control) || dynamic_cast<TPictureBox*>(control);
    if (own && control != Marked) Mark(control);
    if (KeyOnControl(control, key)) return true;
    // The list, the drop-down and the edit box take the keys Qt gives them.
    if (!own) return false;
  }
  const std::optional<TTableKey> move = TableKeyOf(key);
  if (!move || !table) return false;
  if (Marked != Form.DXDraw) Mark(Form.DXDraw);
  // A card the first-trick rule refuses changes nothing on the table; only
  // the screen reader tells why.
  const bool refused = *move == TTableKey::Play && FirstTrickRuleRefuses(Form.Game, ShownSlot());
  Form.Handle([&] {
    TableKeyPressed(Form.Game, Selection, *move);
    if (refused)
      Form.Reader->CardRefused();
    else if (*move != TTableKey::Play)
      Form.Reader->CardSelected(ShownSlot());
  });
  Form.DXDraw->update();
  return true;
}

bool TFormKeys::IsTableKeyPress(const QEvent* event) const {
  if (event->type() != QEvent::KeyPress || !TableTakesKeys(Form.Game.Table.Phase)) return false;
  const auto& key = *static_cast<const QKeyEvent*>(event);
  if (!TableKeyOf(key)) return false;
  // Return or Space on a marked button presses the button, not a card.
  QWidget* control = MarkedControl();
  return !control || control == Form.DXDraw || !IsPress(key.key());
}

void TFormKeys::PointerUsed(const QEvent* event) {
  const QPoint at = static_cast<const QSinglePointEvent*>(event)->globalPosition().toPoint();
  // Moves that the window system reports for a pointer at rest (a panel shown
  // under it) do not count.
  const bool moved = event->type() == QEvent::MouseButtonPress || (LastPointer && *LastPointer != at);
  LastPointer = at;
  if (!moved || (!Marked && Selection.Slot < 0)) return;
  if (Painted) {
    Painted->removeEventFilter(this);
    Painted->update();
  }
  Marked = nullptr;
  Painted = nullptr;
  DropSelection(Selection);
  Form.DXDraw->update();
}

void TFormKeys::AfterHandler() {
  const bool table = TableTakesKeys(Form.Game.Table.Phase);
  if (Marked && (!MarkedControl() || (table && !TableBefore))) {
    // The marked control's panel went, or the game began under the game bar:
    // the mark goes to the table, or to the first control of what is shown now.
    const std::vector<QWidget*> chain = Chain();
    Mark(chain.empty() ? nullptr : chain.front());
  }
  TableBefore = table;
  if (Form.Reader) Form.Reader->TableSeen(ShownSlot());
}

bool TFormKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Paint || watched != Painted) return false;
  auto* w = static_cast<QWidget*>(watched);
  // The control paints itself first; a list paints its rows through its own
  // handler of the viewport's events.
  if (auto* area = qobject_cast<QAbstractScrollArea*>(w->parentWidget()); area && area->viewport() == w)
    TViewportPainter::Paint(*area, event);
  else
    static_cast<QObject*>(w)->event(event);
  // A white frame inside the control's edge, as thick as two pixels of the
  // table at the window's scale.
  QPainter p(w);
  const double pen = std::max(2.0, std::round(2 * Form.DXDraw->Scale()));
  p.setPen(QPen(Qt::white, pen));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(w->rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
  return true;
}

}  // namespace kolbet
